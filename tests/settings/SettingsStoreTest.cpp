#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "settings/SettingsStore.h"
#include "settings/ViewSettings.h"

namespace tavik {
namespace {

namespace fs = std::filesystem;

class IniFile {
public:
    IniFile() {
        path_ = fs::path(TAVIK_BINARY_DIR) / "settings-test" /
                (std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) +
                 ".ini");
        fs::create_directories(path_.parent_path());
        fs::remove(path_);
    }
    ~IniFile() { fs::remove(path_); }
    std::string Path() const { return path_.string(); }

private:
    fs::path path_;
};

// Both stores must behave the same through the interface.
template <class Store>
std::unique_ptr<SettingsStore> Make(const IniFile& f);
template <>
std::unique_ptr<SettingsStore> Make<MemorySettingsStore>(const IniFile&) {
    return std::make_unique<MemorySettingsStore>();
}
template <>
std::unique_ptr<SettingsStore> Make<QtSettingsStore>(const IniFile& f) {
    return std::make_unique<QtSettingsStore>(f.Path());
}

template <class Store>
class StoreTest : public ::testing::Test {};
using StoreTypes = ::testing::Types<MemorySettingsStore, QtSettingsStore>;
TYPED_TEST_SUITE(StoreTest, StoreTypes);

TYPED_TEST(StoreTest, IntsStringsDefaultsAndDeletion) {
    IniFile f;
    auto s = Make<TypeParam>(f);
    EXPECT_EQ(s->GetProfileInt("A", "X", 42), 42);
    EXPECT_EQ(s->GetProfileString("A", "S", "def"), "def");
    EXPECT_FALSE(s->Contains("A", "X"));

    s->WriteProfileInt("A", "X", -7);
    s->WriteProfileInt("A", "MIN", INT32_MIN);
    s->WriteProfileString("A", "S", std::string("観測地, 東京"));
    s->WriteProfileString("A", "E", std::string());
    EXPECT_EQ(s->GetProfileInt("A", "X", 0), -7);
    EXPECT_EQ(s->GetProfileInt("A", "MIN", 0), INT32_MIN);
    EXPECT_EQ(s->GetProfileString("A", "S", ""), "観測地, 東京");
    EXPECT_TRUE(s->Contains("A", "E"));
    EXPECT_EQ(s->GetProfileString("A", "E", "def"), "");
    // Section and entry together name the value.
    EXPECT_EQ(s->GetProfileInt("B", "X", 5), 5);

    // An absent value deletes the entry: the default comes back.
    s->WriteProfileString("A", "S", std::nullopt);
    EXPECT_FALSE(s->Contains("A", "S"));
    EXPECT_EQ(s->GetProfileString("A", "S", "def"), "def");
    // Text where a number is expected reads as the default.
    s->WriteProfileString("A", "X", std::string("abc"));
    EXPECT_EQ(s->GetProfileInt("A", "X", 3), 3);
}

TEST(QtSettingsStoreTest, ValuesSurviveReopeningAndHandEdits) {
    IniFile f;
    {
        QtSettingsStore s(f.Path());
        ViewSettings v;
        v.site.name = "神奈川県相模原市";
        v.fontSize = 80;
        v.Save(s);
    }
    {
        QtSettingsStore s(f.Path());
        ViewSettings v;
        v.Load(s);
        EXPECT_EQ(v.fontSize, 80);
        EXPECT_EQ(v.site.name, "神奈川県相模原市");
        EXPECT_EQ(s.GetProfileInt("USR_CLR", "CLR17", 0), 0x00408060);
    }
    // A hand-edited file: leading zeros are decimal, 0x is hexadecimal, an
    // unquoted comma in a text does not lose the text, junk reads as absent.
    {
        std::ofstream out(f.Path(), std::ios::trunc);
        out << "[FONT]\nSIZE=080\n[USR_CLR]\nCLR00=0x0000FF\n[LOCATION]\nNAME=a, b\n"
               "[DIREC]\nWIDE=--5\n[SETTING]\nJISA= -5 \n";
    }
    QtSettingsStore s(f.Path());
    EXPECT_EQ(s.GetProfileInt("FONT", "SIZE", 0), 80);
    EXPECT_EQ(s.GetProfileInt("USR_CLR", "CLR00", 0), 255);
    EXPECT_EQ(s.GetProfileString("LOCATION", "NAME", ""), "a, b");
    EXPECT_EQ(s.GetProfileInt("DIREC", "WIDE", 13), 13);
    EXPECT_EQ(s.GetProfileInt("SETTING", "JISA", 0), -5);
}

}  // namespace
}  // namespace tavik
