// tavik-skydata [--deep] SOURCE_DATA_DIR OPENNGC_DIR OUTPUT_DIR
// tavik-skydata --descriptions DATA_DIR
//
// Reads the data/ folder of the d3-celestial package and the OpenNGC files
// (NGC.csv, addendum.csv) and writes Tavik's bundled sky data into
// OUTPUT_DIR: tavik.dat (stars to magnitude 6.5, constellation anchors,
// deep-sky objects), taviksize.dat (the deep-sky objects' sizes),
// tavikline.dat (stick figures), tavikconste.dat (boundary outlines) and
// Milkey.p92 (the Milky Way outline).
//
// With --descriptions it reads DATA_DIR/tavik.dat and writes one Shift-JIS
// description per constellation, DATA_DIR/<abbreviation>.p91.
//
// With --deep the stars come from stars.14.json (the whole Hipparcos
// catalogue) down to magnitude 11.5 instead of stars.8.json to 6.5, and every
// deep-sky object of OpenNGC is kept; everything else is the same.

#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>

#include "Descriptions.h"
#include "SkyBuild.h"
#include "catalog/ShiftJis.h"
#include "catalog/LineFile.h"
#include "catalog/OverlayFile.h"
#include "catalog/Description.h"
#include "catalog/RecordFile.h"
#include "catalog/StarCatalog.h"

namespace fs = std::filesystem;
using namespace tavik;
using namespace tavik::skydata;

namespace {

nlohmann::json Load(const fs::path& dir, const char* name) {
    std::ifstream in(dir / name);
    if (!in) throw std::runtime_error("cannot open " + (dir / name).string());
    return nlohmann::json::parse(in);
}

void Write(const fs::path& path, const std::string& bytes) {
    if (!WriteFileReplacing(path, bytes)) throw std::runtime_error("cannot write " + path.string());
    std::printf("wrote %s (%zu bytes)\n", path.string().c_str(), bytes.size());
}

int WriteDescriptions(const fs::path& dataDir) {
    StarCatalog catalog;
    const RecordFileResult r = catalog.LoadFile(dataDir / "tavik.dat");
    if (!r.ok) throw std::runtime_error((dataDir / "tavik.dat").string() + ": " + r.error);
    for (const auto& [abbreviation, text] : BuildDescriptions(catalog)) {
        bool exact = true;
        const std::string sjis = Utf8ToSjis(text, &exact);
        if (!exact) throw std::runtime_error(abbreviation + ": text without a Shift-JIS form");
        if (sjis.size() > kMaxStoredDescriptionBytes) throw std::runtime_error(abbreviation + ": text too long");
        Write(dataDir / (abbreviation + ".p91"), sjis);
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const bool deep = argc == 5 && std::string(argv[1]) == "--deep";
    const bool descriptions = argc == 3 && std::string(argv[1]) == "--descriptions";
    if (argc != 4 && !deep && !descriptions) {
        std::fprintf(stderr, "usage: tavik-skydata [--deep] SOURCE_DATA_DIR OPENNGC_DIR OUTPUT_DIR\n"
                             "       tavik-skydata --descriptions DATA_DIR\n");
        return 2;
    }
    try {
        if (descriptions) return WriteDescriptions(argv[2]);
        const fs::path source = argv[deep ? 2 : 1];
        const fs::path openNgc = argv[deep ? 3 : 2];
        const fs::path out = argv[deep ? 4 : 3];
        Sources s;
        s.stars = Load(source, deep ? "stars.14.json" : "stars.8.json");
        s.starNames = Load(source, "starnames.json");
        s.constellations = Load(source, "constellations.json");
        s.lines = Load(source, "constellations.lines.json");
        s.bounds = Load(source, "constellations.bounds.json");
        s.messier = Load(source, "messier.json");
        s.dsosBright = Load(source, "dsos.bright.json");
        s.dsos6 = Load(source, "dsos.6.json");
        s.dsoNames = Load(source, "dsonames.json");
        s.milkyWay = Load(source, "mw.json");
        s.openNgc = ReadOpenNgc(openNgc / "NGC.csv");
        for (NgcRow& row : ReadOpenNgc(openNgc / "addendum.csv")) s.openNgc.push_back(std::move(row));

        fs::create_directories(out);
        BuildStats stats;
        DeepSkySizes sizes;
        ExtraNames names;
        const auto records =
            BuildCatalogue(s, stats, deep ? kDeepStarMagnitudeLimit : kStarMagnitudeLimit, deep, &sizes, &names);
        Write(out / "tavik.dat", RecordFileBytes(records));
        Write(out / DeepSkySizes::kFileName, sizes.Bytes());
        Write(out / ExtraNames::kFileName, names.Bytes());
        Write(out / "tavikline.dat", LineFileBytes(BuildStickFigures(s)));
        Write(out / "tavikconste.dat", LineFileBytes(BuildBoundaryOutlines(s)));
        const PolylineData milkyWay = BuildMilkyWay(s, kOverlayPoints);
        Write(out / "Milkey.p92", OverlayFileBytes(milkyWay));
        std::printf("records %zu: stars %d (%d with Japanese names, %d shared names left out), anchors %d, "
                    "Messier %d, other deep-sky %d (%d inside Messier regions left out); OpenNGC objects %d "
                    "(%d rows not deep-sky, %d faint and nameless left out, %d shared names left out), sizes %d; "
                    "Milky Way points %zu; boundary self-check %d of %d\n",
                    records.size(), stats.stars, stats.starsWithJapaneseName, stats.sharedStarNamesLeftOut,
                    stats.anchors, stats.messier, stats.otherDsos, stats.dsosInMessierRegions, stats.ngcObjects,
                    stats.ngcNotDeepSky, stats.ngcFaint, stats.sharedDsoNamesLeftOut, stats.sizes, milkyWay.size(),
                    stats.boundaryAgreements, stats.boundaryChecks);
        std::printf("names file: stars %zu (%d named: %d English, %d shared English names left out, %d Japanese "
                    "the record cannot hold), deep-sky objects %zu (%d with an English name, %d more Japanese names); %d kana "
                    "readings\n",
                    names.Stars().size(), stats.namedStars, stats.starsWithEnglishName, stats.sharedEnglishNamesLeftOut,
                    stats.starsWithExtraJapaneseName, names.Objects().size(), stats.dsosWithEnglishName,
                    stats.extraDsoJapaneseNames, stats.readings);
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "tavik-skydata: %s\n", e.what());
        return 1;
    }
}
