#pragma once

// Builders of small metafiles for tests: records are appended word by word and the
// headers are written around them.

#include <QByteArray>
#include <cstdint>
#include <initializer_list>
#include <vector>

namespace veldra::test {

class WmfBuilder {
  public:
    // Appends one record: function and its parameter words.
    WmfBuilder& Record(uint16_t function, std::initializer_list<int> words) {
        return Record(function, std::vector<int>(words));
    }
    WmfBuilder& Record(uint16_t function, const std::vector<int>& words) {
        Put32(body_, static_cast<uint32_t>(3 + words.size()));
        Put16(body_, function);
        for (int w : words) Put16(body_, static_cast<uint16_t>(w));
        ++records_;
        return *this;
    }
    // Parameter words of a COLORREF.
    static std::vector<int> Color(uint32_t c) {
        return {static_cast<int>(c & 0xFFFF), static_cast<int>(c >> 16)};
    }
    // The file: an optional placeable header with frame (left, top, right, bottom)
    // and units per inch, the standard header, the records and the end record.
    QByteArray Build(bool placeable, int left, int top, int right, int bottom, int inch,
                     int objects = 8) const {
        QByteArray out;
        if (placeable) {
            Put32(out, 0x9AC6CDD7u);
            Put16(out, 0);
            for (int v : {left, top, right, bottom}) Put16(out, static_cast<uint16_t>(v));
            Put16(out, static_cast<uint16_t>(inch));
            Put32(out, 0);
            Put16(out, 0);
        }
        Put16(out, 1);
        Put16(out, 9);
        Put16(out, 0x0300);
        Put32(out, static_cast<uint32_t>(9 + body_.size() / 2 + 3));
        Put16(out, static_cast<uint16_t>(objects));
        Put32(out, 0);
        Put16(out, 0);
        out.append(body_);
        Put32(out, 3);
        Put16(out, 0);
        return out;
    }

    static void Put16(QByteArray& out, uint16_t v) {
        out.append(static_cast<char>(v & 0xFF));
        out.append(static_cast<char>(v >> 8));
    }
    static void Put32(QByteArray& out, uint32_t v) {
        Put16(out, static_cast<uint16_t>(v & 0xFFFF));
        Put16(out, static_cast<uint16_t>(v >> 16));
    }

  private:
    QByteArray body_;
    int records_ = 0;
};

class EmfBuilder {
  public:
    EmfBuilder& Record(uint32_t type, std::initializer_list<int32_t> values) {
        return Record(type, std::vector<int32_t>(values));
    }
    EmfBuilder& Record(uint32_t type, const std::vector<int32_t>& values) {
        WmfBuilder::Put32(body_, type);
        WmfBuilder::Put32(body_, static_cast<uint32_t>(8 + 4 * values.size()));
        for (int32_t v : values) WmfBuilder::Put32(body_, static_cast<uint32_t>(v));
        ++records_;
        return *this;
    }
    // Bounds in pixels, frame in hundredths of a millimetre.
    QByteArray Build(int32_t boundsRight, int32_t boundsBottom, int32_t frameRight,
                     int32_t frameBottom) const {
        QByteArray eof;
        for (uint32_t v : {14u, 20u, 0u, 16u, 20u}) WmfBuilder::Put32(eof, v);
        QByteArray out;
        const auto put = [&out](std::initializer_list<uint32_t> vs) {
            for (uint32_t v : vs) WmfBuilder::Put32(out, v);
        };
        const uint32_t total = 88 + static_cast<uint32_t>(body_.size() + eof.size());
        put({1, 88, 0, 0, static_cast<uint32_t>(boundsRight), static_cast<uint32_t>(boundsBottom),
             0, 0, static_cast<uint32_t>(frameRight), static_cast<uint32_t>(frameBottom),
             0x464D4520, 0x10000, total, static_cast<uint32_t>(records_ + 2)});
        WmfBuilder::Put16(out, 4);  // handles
        WmfBuilder::Put16(out, 0);
        put({0, 0, 0, 1920, 1080, 508, 286});
        out.append(body_);
        out.append(eof);
        return out;
    }

  private:
    QByteArray body_;
    int records_ = 0;
};

}  // namespace veldra::test
