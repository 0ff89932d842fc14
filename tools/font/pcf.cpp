// The file starts with a table of contents; each table carries its own format word saying its
// byte order, bit order, row padding and whether its metrics are stored in bytes.
#include "tools/font/pcf.h"

#include <zlib.h>

namespace lfgl {

namespace {

const uint32_t kMetrics = 1u << 2;
const uint32_t kBitmaps = 1u << 3;
const uint32_t kEncodings = 1u << 5;
const uint32_t kAccelerators = 1u << 1;
const uint32_t kBdfAccelerators = 1u << 8;

const uint32_t kBigEndian = 1u << 2;
const uint32_t kMostSignificantBitFirst = 1u << 3;
const uint32_t kCompressedMetrics = 0x100;

struct Metrics {
    int left = 0, right = 0, advance = 0, ascent = 0, descent = 0;
};

// Bounds-checked reads at a moving offset in the byte order of the table being read.
class Cursor {
  public:
    Cursor(const std::vector<uint8_t>& b, size_t at) : bytes(b), offset(at) {}
    bool ok() const { return good; }
    void setBigEndian(bool big) { bigEndian = big; }
    void skip(size_t n) { offset += n; }
    size_t position() const { return offset; }

    uint32_t u32Little() {
        uint32_t v = 0;
        for (int i = 3; i >= 0; --i) {
            v = (v << 8) | byteAt(offset + size_t(i));
        }
        offset += 4;
        return v;
    }
    uint32_t u32() { return field(4); }
    int s16() { return int(int16_t(uint16_t(field(2)))); }
    int u8() { return int(byteAt(offset++)); }

  private:
    uint8_t byteAt(size_t at) {
        if (at >= bytes.size()) {
            good = false;
            return 0;
        }
        return bytes[at];
    }
    // An n-byte unsigned field in the table's byte order.
    uint32_t field(int n) {
        uint32_t v = 0;
        for (int i = 0; i < n; ++i) {
            const int index = bigEndian ? i : n - 1 - i;
            v = (v << 8) | byteAt(offset + size_t(index));
        }
        offset += size_t(n);
        return v;
    }

    const std::vector<uint8_t>& bytes;
    size_t offset;
    bool bigEndian = false;
    bool good = true;
};

struct TableEntry {
    uint32_t type = 0, format = 0, size = 0, offset = 0;
};

bool findTable(const std::vector<TableEntry>& toc, uint32_t type, TableEntry& out) {
    for (const TableEntry& e : toc) {
        if (e.type == type) {
            out = e;
            return true;
        }
    }
    return false;
}

// Opens a table: reads its format word and sets the cursor's byte order from it.
Cursor openTable(const std::vector<uint8_t>& bytes, const TableEntry& e, uint32_t& format) {
    Cursor c(bytes, e.offset);
    format = c.u32Little();
    c.setBigEndian((format & kBigEndian) != 0);
    return c;
}

bool readMetrics(const std::vector<uint8_t>& bytes, const TableEntry& e,
                 std::vector<Metrics>& out) {
    uint32_t format = 0;
    Cursor c = openTable(bytes, e, format);
    const bool compressed = (format & 0xFFFFFF00u) == kCompressedMetrics;
    const int count = compressed ? c.s16() : int(c.u32());
    if (!c.ok() || count < 0 || count > 65536) {
        return false;
    }
    out.resize(size_t(count));
    for (Metrics& m : out) {
        if (compressed) {
            m.left = c.u8() - 0x80;
            m.right = c.u8() - 0x80;
            m.advance = c.u8() - 0x80;
            m.ascent = c.u8() - 0x80;
            m.descent = c.u8() - 0x80;
        } else {
            m.left = c.s16();
            m.right = c.s16();
            m.advance = c.s16();
            m.ascent = c.s16();
            m.descent = c.s16();
            c.s16(); // attributes
        }
    }
    return c.ok();
}

// Glyph index per code 0..255 (-1: none).
bool readEncodings(const std::vector<uint8_t>& bytes, const TableEntry& e,
                   std::vector<int>& glyphOfCode) {
    uint32_t format = 0;
    Cursor c = openTable(bytes, e, format);
    const int firstCode = c.s16(), lastCode = c.s16();
    const int firstRow = c.s16(), lastRow = c.s16();
    c.s16(); // the default character
    // Two-byte fonts keep the codes 0 to 255 in their first row.
    if (!c.ok() || firstRow != 0 || lastRow < firstRow || firstCode < 0 || lastCode > 255) {
        return false;
    }
    glyphOfCode.assign(256, -1);
    for (int code = firstCode; code <= lastCode; ++code) {
        const int glyph = int(uint16_t(c.s16()));
        glyphOfCode[size_t(code)] = glyph == 0xFFFF ? -1 : glyph;
    }
    return c.ok();
}

bool readFontHeight(const std::vector<uint8_t>& bytes, const std::vector<TableEntry>& toc,
                    CellFont& font) {
    TableEntry e;
    if (!findTable(toc, kBdfAccelerators, e) && !findTable(toc, kAccelerators, e)) {
        return false;
    }
    uint32_t format = 0;
    Cursor c = openTable(bytes, e, format);
    c.skip(8); // eight one-byte flags
    font.ascent = int(c.u32());
    font.descent = int(c.u32());
    return c.ok();
}

uint8_t reversedBits(uint8_t b) {
    uint8_t r = 0;
    for (int i = 0; i < 8; ++i) {
        r = uint8_t((r << 1) | ((b >> i) & 1));
    }
    return r;
}

// The glyph's rows as bytes with the leftmost pixel in bit 7.
std::vector<uint8_t> glyphRows(const std::vector<uint8_t>& data, size_t start, uint32_t format,
                               const Metrics& m) {
    const int rowBytesUsed = (m.right - m.left + 7) / 8;
    const int pad = 1 << (format & 3);
    const int rowBytes = (rowBytesUsed + pad - 1) / pad * pad;
    const int unit = 1 << ((format >> 4) & 3);
    const bool bigEndian = (format & kBigEndian) != 0;
    const bool msbFirst = (format & kMostSignificantBitFirst) != 0;
    std::vector<uint8_t> rows;
    for (int r = 0; r < m.ascent + m.descent; ++r) {
        const size_t rowStart = start + size_t(r) * size_t(rowBytes);
        for (int i = 0; i < rowBytesUsed; ++i) {
            // Bytes are stored in scan units of the file's byte order; with a bit order that
            // differs from it, the bytes of each unit are reversed.
            int at = i;
            if (unit > 1 && bigEndian != msbFirst) {
                at = (i / unit) * unit + (unit - 1 - i % unit);
            }
            const size_t index = rowStart + size_t(at);
            uint8_t b = index < data.size() ? data[index] : 0;
            rows.push_back(msbFirst ? b : reversedBits(b));
        }
    }
    return rows;
}

void placeGlyph(CellFont& font, int code, const Metrics& m, const std::vector<uint8_t>& rows) {
    const int rowBytes = (m.right - m.left + 7) / 8;
    std::vector<uint8_t> cell(size_t(font.ascent + font.descent), 0);
    for (int r = 0; r < m.ascent + m.descent; ++r) {
        const int cellRow = font.ascent - m.ascent + r;
        if (cellRow < 0 || cellRow >= int(cell.size()) || rowBytes == 0) {
            continue;
        }
        for (int x = 0; x < m.right - m.left; ++x) {
            const bool on = (rows[size_t(r * rowBytes + x / 8)] >> (7 - x % 8)) & 1;
            const int column = m.left + x;
            if (on && column >= 0 && column < 8) {
                cell[size_t(cellRow)] = uint8_t(cell[size_t(cellRow)] | (0x80 >> column));
            }
        }
    }
    font.cells[size_t(code)] = cell;
    font.advance[size_t(code)] = m.advance;
}

bool readTableOfContents(const std::vector<uint8_t>& bytes, std::vector<TableEntry>& toc) {
    if (bytes.size() < 8 || bytes[0] != 1 || bytes[1] != 'f' || bytes[2] != 'c' ||
        bytes[3] != 'p') {
        return false;
    }
    Cursor c(bytes, 4);
    const uint32_t count = c.u32Little();
    if (count > 64) {
        return false;
    }
    toc.resize(count);
    for (TableEntry& e : toc) {
        e.type = c.u32Little();
        e.format = c.u32Little();
        e.size = c.u32Little();
        e.offset = c.u32Little();
    }
    return c.ok();
}

} // namespace

bool readPcf(const std::vector<uint8_t>& bytes, CellFont& font, std::string& error) {
    std::vector<TableEntry> toc;
    if (!readTableOfContents(bytes, toc)) {
        error = "not a compiled X font";
        return false;
    }
    TableEntry metricsTable, bitmapsTable, encodingsTable;
    std::vector<Metrics> metrics;
    std::vector<int> glyphOfCode;
    if (!findTable(toc, kMetrics, metricsTable) || !findTable(toc, kBitmaps, bitmapsTable) ||
        !findTable(toc, kEncodings, encodingsTable) || !readFontHeight(bytes, toc, font) ||
        !readMetrics(bytes, metricsTable, metrics) ||
        !readEncodings(bytes, encodingsTable, glyphOfCode)) {
        error = "a table is missing or broken";
        return false;
    }
    uint32_t format = 0;
    Cursor c = openTable(bytes, bitmapsTable, format);
    const uint32_t glyphCount = c.u32();
    if (!c.ok() || glyphCount != metrics.size()) {
        error = "the bitmaps do not match the metrics";
        return false;
    }
    std::vector<uint32_t> offsets(glyphCount);
    for (uint32_t& o : offsets) {
        o = c.u32();
    }
    c.skip(16); // the data's size for each of the four paddings
    const size_t dataStart = c.position();
    font.width = 8;
    // Codes without a glyph are blank cells of the full width, as GLUT's bitmap fonts have them.
    font.cells.assign(256, {});
    font.advance.assign(256, font.width);
    for (int code = 0; code < 256; ++code) {
        const int glyph = glyphOfCode[size_t(code)];
        if (glyph < 0 || size_t(glyph) >= metrics.size()) {
            continue;
        }
        const Metrics& m = metrics[size_t(glyph)];
        placeGlyph(font, code, m, glyphRows(bytes, dataStart + offsets[size_t(glyph)], format, m));
    }
    return c.ok();
}

bool readMaybeCompressed(const std::string& path, std::vector<uint8_t>& bytes) {
    gzFile file = gzopen(path.c_str(), "rb"); // reads plain files as they are
    if (!file) {
        return false;
    }
    uint8_t chunk[16384];
    int n;
    while ((n = gzread(file, chunk, sizeof chunk)) > 0) {
        bytes.insert(bytes.end(), chunk, chunk + n);
    }
    const bool failed = n < 0;
    gzclose(file);
    return !failed;
}

} // namespace lfgl
