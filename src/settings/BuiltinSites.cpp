#include "settings/BuiltinSites.h"

#include <cstdio>

#include "settings/SettingsSchema.h"
#include "settings/SettingsStore.h"

namespace tavik {

namespace {

// Longitude degrees, minutes; latitude degrees, minutes; zone hours.
constexpr std::array<BuiltinSite, kBuiltinSiteCount> kSites{{
    {"北海道札幌市中央区", 141, 20, 43, 3, 9},
    {"北海道赤平市", 142, 3, 43, 33, 9},
    {"北海道旭川市", 142, 22, 43, 46, 9},
    {"北海道芦別市", 142, 11, 43, 31, 9},
    {"北海道網走市", 144, 16, 44, 1, 9},
    {"北海道赤平市", 142, 3, 43, 33, 9},
    {"北海道石狩市", 141, 19, 43, 10, 9},
    {"北海道小樽市", 141, 0, 43, 11, 9},
    {"北海道千歳市", 141, 39, 42, 49, 9},
    {"北海道函館市", 140, 44, 41, 46, 9},
    {"北海道富良野市", 142, 23, 43, 21, 9},
    {"北海道稚内市", 141, 40, 45, 25, 9},
    {"北海道積丹町", 140, 36, 43, 18, 9},
    {"青森県青森市", 140, 44, 40, 49, 9},
    {"青森県むつ市", 141, 11, 41, 18, 9},
    {"岩手県盛岡市", 141, 9, 39, 42, 9},
    {"宮城県仙台市", 140, 52, 38, 16, 9},
    {"秋田県秋田市", 140, 6, 39, 43, 9},
    {"山形県山形市", 140, 22, 38, 15, 9},
    {"福島県いわき市", 140, 53, 37, 3, 9},
    {"茨城県水戸市", 140, 28, 36, 22, 9},
    {"栃木県宇都宮市", 139, 53, 36, 33, 9},
    {"群馬県前橋市", 139, 4, 36, 23, 9},
    {"埼玉県浦和市", 139, 39, 35, 52, 9},
    {"埼玉県所沢市", 139, 28, 35, 48, 9},
    {"千葉県千葉市", 140, 7, 35, 36, 9},
    {"千葉県成田市", 140, 19, 35, 47, 9},
    {"千葉県館山市", 139, 52, 34, 59, 9},
    {"東京都江東区", 139, 49, 35, 40, 9},
    {"東京都八王子市", 139, 19, 35, 40, 9},
    {"東京都府中市", 139, 29, 35, 40, 9},
    {"東京都大島町", 139, 21, 34, 45, 9},
    {"東京都新島町", 139, 16, 34, 22, 9},
    {"東京都神津島町", 139, 8, 34, 13, 9},
    {"東京都八丈町", 139, 47, 33, 7, 9},
    {"東京都小笠原村", 142, 11, 27, 5, 9},
    {"神奈川県鶴見区", 139, 41, 35, 31, 9},
    {"神奈川県川崎区", 139, 42, 35, 32, 9},
    {"神奈川県相模原市", 139, 22, 35, 34, 9},
    {"神奈川県鎌倉市", 139, 33, 35, 19, 9},
    {"神奈川県小田原市", 139, 10, 35, 16, 9},
    {"新潟県新潟市", 139, 2, 37, 55, 9},
    {"富山県富山市", 137, 13, 36, 42, 9},
    {"石川県小松市", 136, 27, 36, 24, 9},
    {"福井県福井市", 136, 13, 36, 4, 9},
    {"長野県松本市", 137, 58, 36, 14, 9},
    {"山梨県甲府市", 138, 34, 35, 40, 9},
    {"静岡県熱海市", 139, 4, 35, 6, 9},
    {"静岡県下田市", 138, 57, 34, 41, 9},
    {"静岡県御殿場市", 138, 56, 35, 18, 9},
    {"静岡県浜松市", 137, 44, 34, 43, 9},
    {"愛知県名古屋市", 136, 54, 35, 11, 9},
    {"岐阜県岐阜市", 136, 46, 35, 25, 9},
    {"三重県松坂市", 136, 32, 34, 35, 9},
    {"滋賀県彦根市", 136, 15, 35, 16, 9},
    {"京都府京都市", 135, 46, 35, 1, 9},
    {"奈良県奈良市", 135, 50, 34, 41, 9},
    {"大阪府大阪市", 135, 30, 34, 42, 9},
    {"兵庫県神戸市", 135, 11, 34, 41, 9},
    {"兵庫県赤穂市", 134, 23, 34, 45, 9},
    {"岡山県岡山市", 133, 56, 34, 40, 9},
    {"広島県広島市", 132, 28, 34, 23, 9},
    {"広島県尾道市", 133, 12, 34, 25, 9},
    {"鳥取県鳥取市", 134, 14, 35, 30, 9},
    {"島根県松江市", 133, 3, 35, 28, 9},
    {"山口県下関市", 130, 56, 33, 58, 9},
    {"徳島県阿南市", 134, 39, 33, 55, 9},
    {"香川県高松市", 134, 3, 34, 20, 9},
    {"愛媛県宇和島市", 132, 34, 33, 13, 9},
    {"高知県土佐市", 133, 25, 33, 30, 9},
    {"福岡県福岡市", 130, 24, 33, 35, 9},
    {"福岡県久留米市", 130, 30, 33, 19, 9},
    {"佐賀県伊万里市", 129, 53, 33, 16, 9},
    {"長崎県福江市", 128, 50, 32, 42, 9},
    {"熊本県八代市", 130, 36, 32, 30, 9},
    {"大分県別府市", 131, 30, 33, 17, 9},
    {"宮崎県日南市", 131, 23, 31, 36, 9},
    {"鹿児島県指宿市", 130, 38, 31, 15, 9},
    {"鹿児島県徳之島町", 128, 57, 27, 44, 9},
    {"沖縄県名護市", 127, 59, 26, 35, 9},
    {"沖縄県宮古郡", 125, 17, 24, 48, 9},
    {"沖縄県八重山郡", 123, 0, 24, 27, 9},
    {"富士山", 138, 43, 35, 21, 9},
    {"ソウル", 127, 0, 37, 30, 9},
    {"台北", 121, 30, 25, 6, 8},
    {"上海", 121, 30, 31, 12, 8},
    {"香港", 114, 18, 22, 30, 8},
    {"マニラ", 121, 0, 14, 30, 10},
    {"シンガポール", 103, 48, 1, 12, 8},
    {"クアラルンプール", 101, 42, 3, 6, 8},
    {"バンコク", 100, 30, 13, 42, 7},
    {"イスラエル", 35, 12, 31, 48, 2},
    {"カイロ（エジプト）", 31, 18, 30, 6, 2},
    {"グアム島", 144, 48, 13, 30, 10},
    {"サイパン島", 145, 42, 15, 12, 10},
}};

std::string SlotKey(const char* stem, int slot) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%s%02d", stem, slot);
    return buf;
}

constexpr const char* kSection = "USERLOC";

}  // namespace

const std::array<BuiltinSite, kBuiltinSiteCount>& BuiltinSites() { return kSites; }

const char* DefaultSiteName() { return kSites[kDefaultSiteRow].name; }

UserSiteValues ReadUserSite(const SettingsStore& store, int slot) {
    UserSiteValues v;
    v.name = store.GetProfileString(kSection, SlotKey("LOC", slot), "");
    v.latitudeDegrees = ReadSettingInt(store, kSection, SlotKey("LOC_IDOH", slot));
    v.latitudeMinutes = ReadSettingInt(store, kSection, SlotKey("LOC_IDOF", slot));
    v.longitudeDegrees = ReadSettingInt(store, kSection, SlotKey("LOC_KEIDOH", slot));
    v.longitudeMinutes = ReadSettingInt(store, kSection, SlotKey("LOC_KEIDOF", slot));
    v.south = store.GetProfileInt(kSection, SlotKey("LOC_NANBOKU", slot), 0) != 0;
    v.west = store.GetProfileInt(kSection, SlotKey("LOC_TOUZAI", slot), 0) != 0;
    v.zoneHours = store.GetProfileInt(kSection, SlotKey("LOC_JISA", slot), 9);
    v.zoneMinus = store.GetProfileInt(kSection, SlotKey("LOC_JISAM", slot), 0) != 0;
    return v;
}

void WriteUserSite(SettingsStore& store, int slot, const UserSiteValues& site) {
    store.WriteProfileString(kSection, SlotKey("LOC", slot), site.name);
    store.WriteProfileInt(kSection, SlotKey("LOC_IDOH", slot), site.latitudeDegrees);
    store.WriteProfileInt(kSection, SlotKey("LOC_IDOF", slot), site.latitudeMinutes);
    store.WriteProfileInt(kSection, SlotKey("LOC_KEIDOH", slot), site.longitudeDegrees);
    store.WriteProfileInt(kSection, SlotKey("LOC_KEIDOF", slot), site.longitudeMinutes);
    store.WriteProfileInt(kSection, SlotKey("LOC_NANBOKU", slot), site.south ? 1 : 0);
    store.WriteProfileInt(kSection, SlotKey("LOC_TOUZAI", slot), site.west ? 1 : 0);
    store.WriteProfileInt(kSection, SlotKey("LOC_JISA", slot), site.zoneHours);
    store.WriteProfileInt(kSection, SlotKey("LOC_JISAM", slot), site.zoneMinus ? 1 : 0);
}

RegisterResult RegisterUserSite(SettingsStore& store, const UserSiteValues& site) {
    // A slot already holding this name is updated wherever it stands, so that a
    // slot freed earlier in the list never gains a second copy of the name.
    int firstFree = -1;
    for (int slot = 0; slot < kUserSiteSlots; ++slot) {
        const std::string existing = store.GetProfileString(kSection, SlotKey("LOC", slot), "");
        if (!site.name.empty() && existing == site.name) {
            WriteUserSite(store, slot, site);
            return {RegisterResult::Kind::Updated, slot};
        }
        if (existing.empty() && firstFree < 0) firstFree = slot;
    }
    if (firstFree >= 0) {
        WriteUserSite(store, firstFree, site);
        return {RegisterResult::Kind::Registered, firstFree};
    }
    return {RegisterResult::Kind::Full, -1};
}

std::string RegisteredMessage(int slot) {
    char buf[96];
    std::snprintf(buf, sizeof buf, "新しい観測地を登録しました(%d/%d)", slot + 1, kUserSiteSlots);
    return buf;
}

}  // namespace tavik
