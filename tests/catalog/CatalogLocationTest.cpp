#include "catalog/CatalogLocation.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "TestFiles.h"

using namespace tavik;
namespace fs = std::filesystem;

namespace {

// Sets an environment variable for the life of the object.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const std::string& value) : name_(name) {
        if (const char* old = std::getenv(name)) old_ = old;
        setenv(name, value.c_str(), 1);
    }
    ~ScopedEnv() {
        if (old_) setenv(name_, old_->c_str(), 1);
        else unsetenv(name_);
    }

private:
    const char* name_;
    std::optional<std::string> old_;
};

void WriteCatalog(const fs::path& path, int stars) {
    std::vector<StarRecord> records;
    for (int i = 0; i < stars; ++i) records.push_back(test::MakeStar(i + 1, 0.1 + i, 2.0));
    test::WriteBytes(path, RecordFileBytes(records));
}

}  // namespace

TEST(CatalogLocation, DataDirectoryIsStoredPathUpToLastSlash) {
    MemorySettingsStore settings;
    settings.WriteProfileString("TAVIK", "TAVIK_DATA", std::string("/media/card/sky/tavik.dat"));
    EXPECT_EQ(DataDirectory(settings), "/media/card/sky/");
    EXPECT_EQ(DataFilePath(settings, "tavikline.dat"), "/media/card/sky/tavikline.dat");
    settings.WriteProfileString("TAVIK", "TAVIK_DATA", std::string("tavik.dat"));
    EXPECT_EQ(DataDirectory(settings), "");

    test::TempDir home;
    ScopedEnv h("HOME", home.Path().string());
    ScopedEnv x("XDG_DATA_HOME", "");
    MemorySettingsStore empty;
    EXPECT_EQ(DataDirectory(empty), (home.Path() / ".local/share/Arvex/Tavik").string() + "/");
    ScopedEnv x2("XDG_DATA_HOME", (home / "xdg").string());
    EXPECT_EQ(DefaultCatalogPath(), (home / "xdg/Arvex/Tavik/tavik.dat").string());
}

TEST(CatalogLocation, CatalogBesideProgramWinsOverStoredPath) {
    test::TempDir dir;
    fs::create_directories(dir / "bin");
    MemorySettingsStore settings;
    settings.WriteProfileString("TAVIK", "TAVIK_DATA", (dir / "elsewhere.dat").string());
    EXPECT_EQ(LocateCatalog(dir / "bin", settings), (dir / "elsewhere.dat").string());
    WriteCatalog(dir / "bin" / "TavikM-1.dat", 2);
    EXPECT_EQ(LocateCatalog(dir / "bin", settings), (dir / "bin" / "TavikM-1.dat").string());
    EXPECT_EQ(settings.GetProfileString("TAVIK", "TAVIK_DATA", ""), (dir / "bin" / "TavikM-1.dat").string());
}

TEST(CatalogLocation, StartupLoadStoresPathAndReadsTapFile) {
    test::TempDir dir;
    WriteCatalog(dir / "tavik.dat", 3);
    StarCatalog marks;
    marks.AppendTapMark(test::MakeStar(7, 0.2, -100));
    ASSERT_TRUE(marks.SaveTapMarks(dir / "TavikUser.tap"));

    MemorySettingsStore settings;
    settings.WriteProfileString("TAVIK", "TAVIK_DATA", (dir / "tavik.dat").string());
    StarCatalog catalog;
    const CatalogOpenResult result = LoadCatalogAtStartup(catalog, dir / "nobin", settings);
    EXPECT_TRUE(result.catalog.ok);
    EXPECT_TRUE(catalog.Loaded());
    EXPECT_EQ(catalog.Count(), 3u);
    ASSERT_EQ(catalog.TapMarkCount(), 1u);
    EXPECT_EQ(catalog.TapMark(0).number, 7);
}

TEST(CatalogLocation, StartupWithoutCatalogClearsFullScreenAndStaysUnloaded) {
    test::TempDir dir;
    MemorySettingsStore settings;
    settings.WriteProfileInt("OPTION3", "FULL_SCREEN", 1);
    settings.WriteProfileString("TAVIK", "TAVIK_DATA", (dir / "missing.dat").string());
    StarCatalog catalog;
    const CatalogOpenResult result = LoadCatalogAtStartup(catalog, {}, settings);
    EXPECT_FALSE(result.catalog.opened);
    EXPECT_FALSE(catalog.Loaded());
    EXPECT_EQ(settings.GetProfileInt("OPTION3", "FULL_SCREEN", 1), 0);

    // The user then picks a file: it is loaded and remembered.
    WriteCatalog(dir / "picked.dat", 2);
    const CatalogOpenResult picked = LoadChosenCatalog(catalog, dir / "picked.dat", settings);
    EXPECT_TRUE(picked.catalog.ok);
    EXPECT_TRUE(catalog.Loaded());
    EXPECT_EQ(catalog.Count(), 2u);
    EXPECT_EQ(settings.GetProfileString("TAVIK", "TAVIK_DATA", ""), (dir / "picked.dat").string());

    // A pick that does not open changes nothing.
    const CatalogOpenResult bad = LoadChosenCatalog(catalog, dir / "nope.dat", settings);
    EXPECT_FALSE(bad.catalog.opened);
    EXPECT_EQ(settings.GetProfileString("TAVIK", "TAVIK_DATA", ""), (dir / "picked.dat").string());

    ResetDataLocation(settings);
    EXPECT_FALSE(settings.Contains("TAVIK", "TAVIK_DATA"));
}

TEST(CatalogLocation, FirstRunCopiesBundledDataIntoFreshHome) {
    test::TempDir home;
    ScopedEnv h("HOME", home.Path().string());
    ScopedEnv x("XDG_DATA_HOME", "");
    fs::create_directories(home / "bundle");
    WriteCatalog(home / "bundle" / "tavik.dat", 4);
    test::WriteBytes(home / "bundle" / "tavikline.dat", "lines");
    test::WriteBytes(home / "bundle" / "Milkey.p92", "milky");
    test::WriteBytes(home / "bundle" / "taviksize.dat", DeepSkySizes().Bytes());
    fs::permissions(home / "bundle" / "tavikline.dat", fs::perms::owner_read, fs::perm_options::replace);
    fs::create_directories(home / "bundle" / "deep");
    WriteCatalog(home / "bundle" / "deep" / "tavik.dat", 7);
    test::WriteBytes(home / "bundle" / "deep" / "Ori.p91", "deep orion");
    test::WriteBytes(home / "bundle" / "deep" / "taviksize.dat", "deep sizes");
    fs::permissions(home / "bundle" / "deep" / "tavik.dat", fs::perms::owner_read, fs::perm_options::replace);

    MemorySettingsStore settings;
    const FirstRunResult result =
        InstallBundledDataIfNeeded(home / "bin", settings, {home / "bundle"}, UserDataDirectory());
    ASSERT_TRUE(result.installed) << result.error;
    const fs::path target = home / ".local/share/Arvex/Tavik";
    EXPECT_EQ(result.catalogPath, (target / "tavik.dat").string());
    EXPECT_EQ(settings.GetProfileString("TAVIK", "TAVIK_DATA", ""), result.catalogPath);
    EXPECT_EQ(test::ReadBytes(target / "tavikline.dat"), "lines");
    EXPECT_EQ(test::ReadBytes(target / "taviksize.dat"), DeepSkySizes().Bytes());
    EXPECT_TRUE((fs::status(target / "tavikline.dat").permissions() & fs::perms::owner_write) != fs::perms::none);
    EXPECT_FALSE(fs::exists(target / "tavikconste.dat"));  // not in the bundle: skipped
    // The deep set has its own writable copy, where its taps can be saved.
    EXPECT_EQ(test::ReadBytes(target / "deep" / "Ori.p91"), "deep orion");
    EXPECT_EQ(test::ReadBytes(target / "deep" / "taviksize.dat"), "deep sizes");
    EXPECT_TRUE((fs::status(target / "deep" / "tavik.dat").permissions() & fs::perms::owner_write) !=
                fs::perms::none);

    StarCatalog catalog;
    EXPECT_TRUE(LoadCatalogAtStartup(catalog, home / "bin", settings).catalog.ok);
    EXPECT_EQ(catalog.Count(), 4u);
    EXPECT_EQ(DataDirectory(settings), target.string() + "/");
}

TEST(CatalogLocation, FirstRunNeverTouchesAStoredPathOrUserFiles) {
    test::TempDir home;
    fs::create_directories(home / "bundle");
    WriteCatalog(home / "bundle" / "tavik.dat", 4);
    test::WriteBytes(home / "bundle" / "tavikline.dat", "new lines");

    MemorySettingsStore stored;
    stored.WriteProfileString("TAVIK", "TAVIK_DATA", std::string("/somewhere/tavik.dat"));
    FirstRunResult result = InstallBundledDataIfNeeded(home / "bin", stored, {home / "bundle"}, home / "target");
    EXPECT_FALSE(result.installed);
    EXPECT_TRUE(result.error.empty());
    EXPECT_EQ(stored.GetProfileString("TAVIK", "TAVIK_DATA", ""), "/somewhere/tavik.dat");
    EXPECT_FALSE(fs::exists(home / "target"));

    // A catalogue beside the program: nothing to install.
    fs::create_directories(home / "bin");
    WriteCatalog(home / "bin" / "TavikM-1.dat", 1);
    MemorySettingsStore fresh;
    result = InstallBundledDataIfNeeded(home / "bin", fresh, {home / "bundle"}, home / "target");
    EXPECT_FALSE(result.installed);
    EXPECT_FALSE(fresh.Contains("TAVIK", "TAVIK_DATA"));

    // Files the user already has in the target folder are kept as they are.
    fs::create_directories(home / "target");
    test::WriteBytes(home / "target" / "tavikline.dat", "my edits");
    result = InstallBundledDataIfNeeded(home / "elsewhere", fresh, {home / "bundle"}, home / "target");
    EXPECT_TRUE(result.installed);
    EXPECT_EQ(test::ReadBytes(home / "target" / "tavikline.dat"), "my edits");
    EXPECT_TRUE(fs::exists(home / "target" / "tavik.dat"));

    // A data folder an earlier version set up (its path stored) gets the
    // files added since, in the deep set too, and keeps the user's own.
    test::WriteBytes(home / "bundle" / "taviknames.dat", "names");
    test::WriteBytes(home / "bundle" / "taviksize.dat", "sizes");
    fs::create_directories(home / "bundle" / "deep");
    WriteCatalog(home / "bundle" / "deep" / "tavik.dat", 2);
    test::WriteBytes(home / "bundle" / "deep" / "taviknames.dat", "deep names");
    fs::create_directories(home / "target" / "deep");
    WriteCatalog(home / "target" / "deep" / "tavik.dat", 2);
    test::WriteBytes(home / "target" / "taviksize.dat", "my sizes");
    fs::remove(home / "target" / "taviknames.dat");
    MemorySettingsStore older;
    older.WriteProfileString("TAVIK", "TAVIK_DATA", (home / "target" / "deep" / "tavik.dat").string());
    result = InstallBundledDataIfNeeded(home / "elsewhere", older, {home / "bundle"}, home / "target");
    EXPECT_FALSE(result.installed);
    EXPECT_EQ(older.GetProfileString("TAVIK", "TAVIK_DATA", ""), (home / "target" / "deep" / "tavik.dat").string());
    EXPECT_EQ(test::ReadBytes(home / "target" / "taviknames.dat"), "names");
    EXPECT_EQ(test::ReadBytes(home / "target" / "deep" / "taviknames.dat"), "deep names");
    EXPECT_EQ(test::ReadBytes(home / "target" / "taviksize.dat"), "my sizes");
    EXPECT_FALSE(fs::exists(home / "somewhere"));

    // Nowhere to copy from: an error, and still nothing stored.
    MemorySettingsStore none;
    result = InstallBundledDataIfNeeded(home / "elsewhere", none, {}, home / "t2");
    EXPECT_FALSE(result.installed);
    EXPECT_FALSE(result.error.empty());
    EXPECT_FALSE(none.Contains("TAVIK", "TAVIK_DATA"));
}
