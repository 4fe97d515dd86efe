#include "catalog/ConstellationTable.h"

#include <cstring>

#include "catalog/ShiftJis.h"

namespace tavik {

const std::array<ConstellationRow, kConstellationRows>& ConstellationTable() {
    static const std::array<ConstellationRow, kConstellationRows> table{{
        {"And", "アンドロメダ"}, {"Ant", "ポンプ"}, {"Aps", "ふうちょう"}, {"Aqr", "みずがめ"},
        {"Aql", "わし"}, {"Ara", "さいだん"}, {"Ari", "おひつじ"}, {"Aur", "ぎょしゃ"},
        {"Boo", "うしかい"}, {"Cae", "ちょうこくぐ"}, {"Cam", "きりん"}, {"Cnc", "かに"},
        {"CVn", "りょうけん"}, {"CMa", "おおいぬ"}, {"CMi", "こいぬ"}, {"Cap", "やぎ"},
        {"Car", "りゅうこつ"}, {"Cas", "カシオペア"}, {"Cen", "ケンタウルス"}, {"Cep", "ケフェウス"},
        {"Cet", "くじら"}, {"Cha", "カメレオン"}, {"Cir", "コンパス"}, {"Col", "はと"},
        {"Com", "かみのけ"}, {"CrA", "みなみのかんむり"}, {"CrB", "かんむり"}, {"Crv", "からす"},
        {"Crt", "コップ"}, {"Cru", "みなみじゅうじ"}, {"Cyg", "はくちょう"}, {"Del", "いるか"},
        {"Dor", "かじき"}, {"Dra", "りゅう"}, {"Equ", "こうま"}, {"Eri", "エリダヌス"},
        {"For", "ろ"}, {"Gem", "ふたご"}, {"Gru", "つる"}, {"Her", "ヘルクレス"},
        {"Hor", "とけい"}, {"Hya", "うみへび"}, {"Hyi", "みずへび"}, {"Ind", "インディアン"},
        {"Lac", "とかげ"}, {"Leo", "しし"}, {"LMi", "こじし"}, {"Lep", "うさぎ"},
        {"Lib", "てんびん"}, {"Lup", "おおかみ"}, {"Lyn", "やまねこ"}, {"Lyr", "こと"},
        {"Men", "テーブルさん"}, {"Mic", "けんびきょう"}, {"Mon", "いっかくじゅう"}, {"Mus", "はえ"},
        {"Nor", "じょうぎ"}, {"Oct", "はちぶんぎ"}, {"Oph", "へびつかい"}, {"Ori", "オリオン"},
        {"Pav", "くじゃく"}, {"Peg", "ペガスス"}, {"Per", "ペルセウス"}, {"Phe", "ほうおう"},
        {"Pic", "がか"}, {"Psc", "うお"}, {"PsA", "みなみのうお"}, {"Pup", "とも"},
        {"Pyx", "らしんばん"}, {"Ret", "レチクル"}, {"Sge", "や"}, {"Sgr", "いて"},
        {"Sco", "さそり"}, {"Scl", "ちょうこくしつ"}, {"Sct", "たて"}, {"Ser", "へび"},
        {"Ser", "へび"}, {"Sex", "ろくぶんぎ"}, {"Tau", "おうし"}, {"Tel", "ぼうえんきょう"},
        {"TrA", "みなみのさんかく"}, {"Tri", "さんかく"}, {"Tuc", "きょしちょう"}, {"UMa", "おおぐま"},
        {"UMi", "こぐま"}, {"Vel", "ほ"}, {"Vir", "おとめ"}, {"Vol", "とびうお"},
        {"Vul", "こぎつね"},
    }};
    return table;
}

const std::array<const char*, kZodiacCount>& ZodiacAbbreviations() {
    static const std::array<const char*, kZodiacCount> zodiac{"Aqr", "Ari", "Cnc", "Cap", "Gem", "Leo",
                                                              "Lib", "Psc", "Sgr", "Sco", "Tau", "Vir"};
    return zodiac;
}

int ConstellationRowIndex(std::string_view field) {
    if (field.size() < 3 || field[0] == ' ' || field[0] == '\0') return -1;
    const auto& table = ConstellationTable();
    for (std::size_t i = 0; i < table.size(); ++i) {
        if (std::memcmp(table[i].abbreviation, field.data(), 3) == 0) return static_cast<int>(i);
    }
    return -1;
}

std::string_view ConstellationNameUtf8(std::string_view field) {
    const int row = ConstellationRowIndex(field);
    return row < 0 ? std::string_view() : ConstellationTable()[static_cast<std::size_t>(row)].name;
}

std::string ConstellationNameSjis(std::string_view field) { return Utf8ToSjis(ConstellationNameUtf8(field)); }

bool IsZodiac(std::string_view abbreviation) {
    if (abbreviation.size() < 3) return false;
    for (const char* z : ZodiacAbbreviations()) {
        if (std::memcmp(z, abbreviation.data(), 3) == 0) return true;
    }
    return false;
}

}  // namespace tavik
