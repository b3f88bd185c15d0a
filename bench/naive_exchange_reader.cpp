#include "bench/naive_exchange_reader.h"

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace veldra::bench {
namespace {

double Real(const std::vector<std::string>& f, size_t i) {
    return i < f.size() ? std::strtod(f[i].c_str(), nullptr) : 0.0;
}
int32_t Integer(const std::string& s) {
    if (!s.empty() && s[0] == '$')
        return static_cast<int32_t>(std::strtol(s.c_str() + 1, nullptr, 16));
    return static_cast<int32_t>(std::strtol(s.c_str(), nullptr, 10));
}

// Words split by the stream; after a quote the rest of the line is one field.
std::vector<std::string> Split(const std::string& line) {
    std::vector<std::string> fields;
    const size_t quote = line.find('"');
    std::istringstream words(line.substr(0, quote));
    std::string word;
    while (words >> word) fields.push_back(word);
    if (quote != std::string::npos) {
        std::string rest = line.substr(quote + 1);
        if (!fields.empty() && quote > 0 && line[quote - 1] != ' ') {
            fields.back() += rest;
        } else {
            fields.push_back(rest);
        }
    }
    return fields;
}

void Dispatch(TJwwEntityStore& store, const std::vector<std::string>& f) {
    TJwwDrawingState& s = store.state;
    const std::string& k = f[0];
    const size_t n = f.size();
    auto end = [&] {
        s.curZFlags = 0;
        s.polylineMode = s.dimensionMode = false;
    };
    if (k.find("file=") != std::string::npos) {
        s.filePath = k.substr(5);
    } else if (k == "hs" && n >= 17) {
        for (size_t i = 0; i < 16; ++i) s.groupScale[i] = Real(f, i + 1);
    } else if (k == "hk" || k == "hzs" || k == "hcw" || k == "hch" || k == "hcd" || k == "hcc" ||
               k == "hn" || k == "hq") {
        for (size_t i = 1; i < n; ++i) (void)Real(f, i);
    } else if (k.rfind("lgn", 0) == 0 || k.rfind("lyn", 0) == 0) {
        s.groupNames[0] = k.substr(3);
    } else if (k.rfind("lg", 0) == 0) {
        s.curLayerGroup = Integer("$" + k.substr(2, 1)) & 15;
    } else if (k.rfind("ly", 0) == 0) {
        s.curLayer = Integer("$" + k.substr(2, 1)) & 15;
    } else if (k.rfind("lc", 0) == 0) {
        s.curColor = Integer(k.substr(2));
        if (s.curColor == 10 && n >= 2) s.extColor = Integer(f[1]);
    } else if (k.rfind("lt", 0) == 0) {
        s.curLineType = Integer(k.substr(2));
    } else if (k.rfind("lw", 0) == 0) {
        s.curLineWidth = Integer(k.substr(2));
    } else if (k.rfind("cn$", 0) == 0) {
        s.curFontName = k.substr(3);
    } else if (k.rfind("cn", 0) == 0) {
        s.curCharKind = Integer(k.substr(2));
    } else if (k.size() == 2 && k[0] == 'z') {
        s.curZFlags |= 1 << (k[1] - '1');
    } else if (k == "pl") {
        ++s.polylineCount;
        s.polylineMode = true;
    } else if (k == "msg") {
        s.dimensionMode = true;
    } else if (k == "#") {
        s.polylineMode = s.dimensionMode = false;
    } else if (k.rfind("hp", 0) == 0 && n >= 3) {
        s.refPoints[1] = {true, Real(f, 1), Real(f, 2), 0};
    } else if (k == "ci" && n == 4) {
        auto& c = AppendEntity(store, store.circles, EntityKind::Circle);
        c.cx = Real(f, 1), c.cy = Real(f, 2), c.radius = Real(f, 3);
        end();
    } else if (k == "ci" && n >= 8) {
        auto& a = AppendEntity(store, store.arcs, EntityKind::Arc);
        a.cx = Real(f, 1), a.cy = Real(f, 2), a.radius = Real(f, 3), a.startAngle = Real(f, 4);
        a.endAngle = Real(f, 5), a.flatness = Real(f, 6), a.tiltAngle = Real(f, 7);
        end();
    } else if ((k == "ch" || k == "cs") && n >= 6) {
        TJwwEntText* t = nullptr;
        if (k == "cs" && s.dimensionMode) {
            auto& d = AppendEntity(store, store.dims, EntityKind::Dim);
            d.line = s.pendingDimLine;
            t = &d.text;
        } else {
            t = &AppendEntity(store, store.texts, EntityKind::Text);
        }
        t->x = Real(f, 1), t->y = Real(f, 2), t->dirX = Real(f, 3), t->dirY = Real(f, 4);
        t->fontName = s.curFontName.substr(0, 255);
        t->text = f[5].substr(0, 255);
        end();
    } else if (k == "pt" && n == 3) {
        auto& p = AppendEntity(store, store.points, EntityKind::Point);
        p.x = Real(f, 1), p.y = Real(f, 2);
        end();
    } else if (k == "pt" && n >= 6) {
        auto& p = AppendEntity(store, store.pointExs, EntityKind::PointEx);
        p.x = Real(f, 1), p.y = Real(f, 2), p.extra1 = Real(f, 3), p.extra2 = Real(f, 4);
        p.extraCode = Integer(f[5]);
        end();
    } else if (k == "BL" && n >= 4) {
        auto& b = AppendEntity(store, store.blocks, EntityKind::Blk);
        b.x = Real(f, 1), b.y = Real(f, 2), b.name = f[3];
        end();
    } else if (k == "sl" && n >= 9) {
        auto& q = AppendEntity(store, store.solid4s, EntityKind::Solid4);
        q.extColor = s.extColor;
        q.x1 = Real(f, 1), q.y1 = Real(f, 2), q.x2 = Real(f, 3), q.y2 = Real(f, 4);
        q.x3 = Real(f, 5), q.y3 = Real(f, 6), q.x4 = Real(f, 7), q.y4 = Real(f, 8);
        end();
    } else if ((k == "sc" || k == "so") && n >= 9) {
        auto fill = [&](auto& e) {
            e.extColor = s.extColor;
            e.cx = Real(f, 1), e.cy = Real(f, 2), e.radius = Real(f, 3), e.flatness = Real(f, 4);
            e.tiltRad = Real(f, 5), e.startRad = Real(f, 6), e.sweepRad = Real(f, 7);
        };
        if (k == "sc") {
            fill(AppendEntity(store, store.solidScs, EntityKind::SolidSc));
        } else {
            fill(AppendEntity(store, store.solidSos, EntityKind::SolidSo));
        }
        end();
    } else if (n == 4) {
        TJwwEntLine* l = s.dimensionMode ? &s.pendingDimLine
                                         : &AppendEntity(store, store.lines, EntityKind::Line);
        l->x1 = Real(f, 0), l->y1 = Real(f, 1), l->x2 = Real(f, 2), l->y2 = Real(f, 3);
        if (!s.dimensionMode) l->polylineNo = s.polylineMode ? s.polylineCount : 0;
        s.curZFlags = 0;
    }
}

}  // namespace

bool ReadExchangeFileNaively(TJwwEntityStore& store, const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const std::vector<std::string> fields = Split(line);
        if (!fields.empty()) Dispatch(store, fields);
    }
    return true;
}

}  // namespace veldra::bench
