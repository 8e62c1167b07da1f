#include "tools/helpdoc/RtfWriter.h"

#include "rtf/Cp1256.h"

#include <cstdint>
#include <fstream>
#include <iterator>
#include <optional>
#include <stdexcept>

namespace zarnik::helpdoc {
namespace {

constexpr std::size_t kHexLineLength = 128;
constexpr char kHexDigits[] = "0123456789abcdef";

constexpr std::string_view kHeader =
    "{\\rtf1\\ansi\\ansicpg1256\\deff0\\deflang1033\\fbidis"
    "{\\fonttbl"
    "{\\f0\\fmodern\\fprq1\\fcharset0 Courier New;}"
    "{\\f1\\fmodern\\fprq1\\fcharset178 Courier New;}"
    "{\\f2\\froman\\fprq2\\fcharset178 Times New Roman;}"
    "{\\f3\\fswiss\\fprq2\\fcharset0 MS Sans Serif;}"
    "}\n"
    "{\\*\\generator zarnik_helpdoc;}\\viewkind4\\uc1\n";

void appendHexByte(std::string& out, unsigned char byte)
{
    out += kHexDigits[byte >> 4];
    out += kHexDigits[byte & 0x0F];
}

// What a reader that does not know \uN shows instead: the nearest letter of
// the code page, so that Persian stays legible.
std::string fallbackFor(char32_t codePoint)
{
    char32_t nearest = U'?';
    switch (codePoint) {
    case U'\u06CC': // Persian yeh: Arabic yeh
        nearest = U'\u064A';
        break;
    case U'\u06C0': // heh with yeh above: heh
        nearest = U'\u0647';
        break;
    default:
        break;
    }
    const std::optional<unsigned char> byte = ToCp1256(nearest);
    std::string out;
    if (*byte < 0x80) {
        out += static_cast<char>(*byte);
    } else {
        out += "\\'";
        appendHexByte(out, *byte);
    }
    return out;
}

void appendUnicodeEscape(std::string& out, char32_t codePoint)
{
    auto unit = [&out](std::uint16_t value, const std::string& fallback) {
        // \uN takes a signed 16-bit number.
        out += "\\u" + std::to_string(static_cast<std::int16_t>(value)) + fallback;
    };
    if (codePoint < 0x10000) {
        unit(static_cast<std::uint16_t>(codePoint), fallbackFor(codePoint));
    } else {
        const char32_t offset = codePoint - 0x10000;
        unit(static_cast<std::uint16_t>(0xD800 + (offset >> 10)), "?");
        unit(static_cast<std::uint16_t>(0xDC00 + (offset & 0x3FF)), "?");
    }
}

std::string characterFormat(Font font, int halfPoints, bool bold, bool underline)
{
    std::string out = "\\f" + std::to_string(static_cast<int>(font));
    if (font == Font::CourierArabic)
        out += "\\rtlch\\lang1065";
    if (halfPoints > 0)
        out += "\\fs" + std::to_string(halfPoints);
    if (bold)
        out += "\\b";
    if (underline)
        out += "\\ul";
    return out;
}

std::string pictureGroup(const PngPicture& picture)
{
    std::string out = "{\\pict\\pngblip\\picw" + std::to_string(picture.width) + "\\pich"
                      + std::to_string(picture.height) + "\\picwgoal"
                      + std::to_string(picture.display.width) + "\\pichgoal"
                      + std::to_string(picture.display.height) + "\n";
    std::size_t column = 0;
    for (const char byte : picture.bytes) {
        appendHexByte(out, static_cast<unsigned char>(byte));
        column += 2;
        if (column == kHexLineLength) {
            out += '\n';
            column = 0;
        }
    }
    if (column != 0)
        out += '\n';
    out += '}';
    return out;
}

std::uint32_t bigEndian32(const std::string& bytes, std::size_t at)
{
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < 4; ++i)
        value = (value << 8) | static_cast<unsigned char>(bytes[at + i]);
    return value;
}

} // namespace

PngPicture makePngPicture(std::string bytes, TwipSize display)
{
    static const std::string signature = "\x89PNG\r\n\x1a\n";
    if (bytes.size() < 24 || bytes.compare(0, signature.size(), signature) != 0)
        throw std::invalid_argument("not a PNG file");
    if (bytes.compare(12, 4, "IHDR") != 0)
        throw std::invalid_argument("PNG file without a header chunk");
    const std::uint32_t width = bigEndian32(bytes, 16);
    const std::uint32_t height = bigEndian32(bytes, 20);
    if (width == 0 || height == 0 || width > 0x7FFFFFFF || height > 0x7FFFFFFF)
        throw std::invalid_argument("PNG file with an impossible size");
    if (display.width <= 0 || display.height <= 0)
        throw std::invalid_argument("picture without a display size");
    PngPicture picture;
    picture.bytes = std::move(bytes);
    picture.width = static_cast<int>(width);
    picture.height = static_cast<int>(height);
    picture.display = display;
    return picture;
}

std::string readBinaryFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot open " + path);
    std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (in.bad())
        throw std::runtime_error("cannot read " + path);
    return bytes;
}

std::string escapeRtfText(std::string_view utf8)
{
    std::string out;
    for (const char32_t c : DecodeUtf8(utf8)) {
        if (c < 0x20)
            throw std::invalid_argument("control character in document text");
        if (c == U'\\' || c == U'{' || c == U'}') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x7F) {
            out += static_cast<char>(c);
        } else if (const std::optional<unsigned char> byte = ToCp1256(c)) {
            out += "\\'";
            appendHexByte(out, *byte);
        } else {
            appendUnicodeEscape(out, c);
        }
    }
    return out;
}

std::string writeHelpRtf(const std::vector<Paragraph>& paragraphs,
                         const PngPicture& firstFormula,
                         const PngPicture& secondFormula)
{
    std::string out(kHeader);
    for (const Paragraph& paragraph : paragraphs) {
        out += "\\pard\\rtlpar";
        out += paragraph.alignment == Alignment::Right ? "\\qr" : "\\qc";
        // One group per paragraph holds its character format, its content
        // and its paragraph mark, so nothing leaks into the next paragraph.
        out += '{';
        out += characterFormat(paragraph.font, paragraph.halfPoints, paragraph.bold, false);
        if (paragraph.picture == Picture::FirstFormula)
            out += pictureGroup(firstFormula);
        else if (paragraph.picture == Picture::SecondFormula)
            out += pictureGroup(secondFormula);
        bool first = true;
        for (const Run& run : paragraph.runs) {
            const std::string text = escapeRtfText(run.text);
            if (first && run.font == paragraph.font && !run.underline) {
                out += ' ' + text;
            } else {
                // A run that differs from the paragraph's font gets its own
                // group; it keeps the paragraph's size and weight.
                out += '{' + characterFormat(run.font, 0, false, run.underline) + ' ' + text
                       + '}';
            }
            first = false;
        }
        out += "\\par}\n";
    }
    out += "}\n";
    return out;
}

} // namespace zarnik::helpdoc
