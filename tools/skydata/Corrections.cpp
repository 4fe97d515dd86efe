#include "Corrections.h"

#include <algorithm>
#include <iterator>

#include "catalog/StarRecord.h"

namespace tavik::skydata {

namespace {

const DsoCorrection kDsoCorrections[] = {
    {"M11", "野鴨星団", 0},             // the source has "わし星団", M16's name misapplied
    {"M24", "いて座スタークラウド", 0},  // no name in the source
    {"M42", "オリオン大星雲", 0},       // the usual Japanese name
    {"M44", "プレセペ星団", 0},
    {"M45", "プレアデス星団", 0},
    {"M51", "子持ち銀河", 0},           // the source's designation "NGC 5194/5" finds no name
    {"M76", "小亜鈴状星雲", 0},         // likewise "NGC 650/1"
    {"M84", "", 0},                     // "マルカリアンの鎖" is the chain of galaxies, not M84
    {"M87", "おとめ座A", 0},            // "おとめ座銀河" reads as a galaxy of that name
    {"M93", "", 0},                     // "バタフライ星団" is M6
    {"NGC869", "ペルセウス座h星団", 0},  // the source has the bare letter "h"
    {"NGC884", "ペルセウス座χ星団", 0},  // and "χ"
    {"NGC2244", "ばら星雲の星団", 0},    // the cluster inside the Rosette Nebula
    {"NGC2264", "クリスマスツリー星団", kKindOpenCluster},
    {"NGC4473", "", 0},                 // "マルカリアンの鎖" is the chain, not one of its galaxies
    {"NGC4477", "", 0},
    {"NGC6530", "", 0},                 // "ハーシェル36" is a star in M8, not the cluster
    {"Mel111", "かみのけ座星団", 0},    // the source has "アドリアネの髪", an old name of the constellation
    {"NGC3293", nullptr, kKindOpenCluster},  // open clusters the source types as star-forming regions
    {"NGC6281", nullptr, kKindOpenCluster},
};

struct NameOwner {
    const char* name;
    const char* hip;
};

const NameOwner kStarNameOwners[] = {
    {"アティク", "17448"},  // ο Per (ζ Per is brighter)
    {"ベーミン", "20535"},  // υ3 Eri
    {"カストゥラ", "4422"}, // υ2 Cas (ν Cep is brighter)
    // The English names shared likewise.
    {"Atik", "17448"},
    {"Beemim", "20535"},
    {"Castula", "4422"},
    {"Angetenar", "13288"},   // τ2 Eri (τ4 Eri is brighter)
    {"Terebellum", "98066"},  // ω Sgr, the brightest of the four being c Sgr
    {"Grafias", "78727"},     // the star that carries the Japanese name
};

}  // namespace

const DsoCorrection* FindDsoCorrection(std::string_view designation) {
    auto it = std::find_if(std::begin(kDsoCorrections), std::end(kDsoCorrections),
                           [&](const DsoCorrection& c) { return designation == c.designation; });
    return it == std::end(kDsoCorrections) ? nullptr : &*it;
}

std::string ExtraDsoDesignation(std::string_view sourceId) {
    return sourceId == "PGC 17223" ? "LMC" : "";
}

std::string NgcDesignationOverride(std::string_view ngcName) {
    return ngcName == "ESO056-115" ? "LMC" : "";
}

SourceDsoNames SourceDsoNamesFor(std::string_view designation) {
    const DsoCorrection* c = FindDsoCorrection(designation);
    if (!c || !c->name) return SourceDsoNames::All;
    if (!*c->name || designation == "Mel111") return SourceDsoNames::None;
    for (const char* alternative : {"M42", "M44", "M45", "NGC2244"}) {
        if (designation == alternative) return SourceDsoNames::All;
    }
    return SourceDsoNames::EnglishOnly;
}

const char* ReadingCorrection(std::string_view name) {
    static const std::pair<const char*, const char*> kReadings[] = {
        {"大マゼラン雲", "ダイマゼランウン"},
        {"小マゼラン雲", "ショウマゼランウン"},
        {"青い馬頭星雲", "アオイバトウセイウン"},
        {"三裂星雲", "サンレツセイウン"},
        {"ハインドの変光星雲", "ハインドノヘンコウセイウン"},
        {"ハッブル変光星雲", "ハッブルヘンコウセイウン"},
        {"ハインドの深紅色星", "ハインドノシンクショクセイ"},
        {"バーナード星", "バーナードセイ"},
        {"火炎星", "カエンセイ"},
        {"野鴨星団", "ノガモセイダン"},
        {"ステファンの五つ子", "ステファンノイツツゴ"},
        {"コープランドの七つ子", "コープランドノナナツゴ"},
        {"セイファートの六つ子", "セイファートノムツゴ"},
        {"つる座の四重星", ""},  // しじゅうせい or よんじゅうせい: no sure reading
    };
    for (const auto& [written, reading] : kReadings) {
        if (name == written) return reading;
    }
    return nullptr;
}

bool DsoNamesOfAnotherObject(std::string_view key) {
    return key == "NGC 300" || key == "NGC 2686" || key == "NGC 4990";
}

std::string StarNameOwner(std::string_view japaneseName) {
    for (const auto& o : kStarNameOwners) {
        if (japaneseName == o.name) return o.hip;
    }
    return {};
}

std::string CorrectedBayer(std::string_view hip, const std::string& bayer) {
    return hip == "20535" && bayer == "undefined3" ? "υ3" : bayer;
}

}  // namespace tavik::skydata
