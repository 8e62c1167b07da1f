#include "rtf/RtfReader.h"

#include "rtf/Cp1256.h"

#include <QImage>
#include <QStringDecoder>
#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextImageFormat>
#include <QUrl>

#include <algorithm>
#include <array>
#include <map>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

namespace zarnik {
namespace {

constexpr int kMaxDepth = 256;                // deeper groups are read as skipped
constexpr int kMaxParameter = 1'000'000'000;  // numeric parameters saturate here
constexpr int kDefaultHalfPoints = 24;        // 12 pt
constexpr int kMaxHalfPoints = 3276;          // 1638 pt
constexpr int kMaxUnicodeSkip = 1'000'000;
constexpr double kMaxPictureSide = 16384;  // pixels
constexpr double kTwipsPerPixel = 15;

// Windows code page 1252, bytes 0x80 to 0x9F; the rest is Latin-1. The five
// unassigned bytes keep their Latin-1 value, as Windows does.
constexpr std::array<char16_t, 32> kCp1252 = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

int CodePageOfCharset(int charset)
{
    switch (charset) {
    case 0: return 1252;
    case 2: return 1252;  // symbol fonts: keep the byte values
    case 77: return 10000;
    case 128: return 932;
    case 129: return 949;
    case 134: return 936;
    case 136: return 950;
    case 161: return 1253;
    case 162: return 1254;
    case 163: return 1258;
    case 177: return 1255;
    case 178: return 1256;
    case 186: return 1257;
    case 204: return 1251;
    case 222: return 874;
    case 238: return 1250;
    case 255: return 437;
    default: return 0;  // the document's code page
    }
}

// Decodes text bytes of one code page. 1252 and 1256 come from tables; other
// code pages go through the toolkit's converters and fall back to Latin-1.
class CodePageDecoder {
public:
    QString Decode(QByteArrayView bytes, int codePage)
    {
        if (codePage == 1256 || codePage == 1252) {
            QString text;
            text.reserve(bytes.size());
            for (char c : bytes) {
                const auto b = static_cast<unsigned char>(c);
                if (b < 0x80) {
                    text.append(QChar(b));
                } else if (codePage == 1256) {
                    text.append(QChar(static_cast<char16_t>(FromCp1256(b))));
                } else {
                    text.append(QChar(b < 0xA0 ? kCp1252[b - 0x80] : char16_t(b)));
                }
            }
            return text;
        }
        auto it = decoders_.find(codePage);
        if (it == decoders_.end()) {
            if (decoders_.size() >= kMaxDecoders) {
                return QString::fromLatin1(bytes);
            }
            const QByteArray name = codePage == 932     ? QByteArray("Shift_JIS")
                                    : codePage == 936   ? QByteArray("GBK")
                                    : codePage == 949   ? QByteArray("EUC-KR")
                                    : codePage == 950   ? QByteArray("Big5")
                                    : codePage == 437   ? QByteArray("IBM437")
                                    : codePage == 10000 ? QByteArray("macintosh")
                                                        : "windows-" + QByteArray::number(codePage);
            it = decoders_.emplace(codePage, QStringDecoder(name.constData(), QStringConverter::Flag::Stateless)).first;
        }
        if (!it->second.isValid()) {
            return QString::fromLatin1(bytes);
        }
        return it->second.decode(bytes);
    }

private:
    static constexpr size_t kMaxDecoders = 16;  // damaged input may name any number of code pages
    std::map<int, QStringDecoder> decoders_;
};

// The tokenizer.

struct Token {
    enum Kind { End, Open, Close, Word, Symbol, Byte, Char };
    Kind kind = End;
    std::string_view word;  // Word: the letters
    bool hasParameter = false;
    int parameter = 0;       // Word: saturated at +-kMaxParameter
    char symbol = 0;         // Symbol: the character after the backslash
    unsigned char byte = 0;  // Byte (\'hh) and Char (a plain byte)
};

bool IsLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

int HexValue(char c)
{
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

class Tokenizer {
public:
    explicit Tokenizer(QByteArrayView in) : p_(in.data()), end_(in.data() + in.size()) {}

    // Every call consumes at least one byte unless the input has ended.
    Token Next()
    {
        Token t;
        while (p_ < end_) {
            const char c = *p_++;
            switch (c) {
            case '{': t.kind = Token::Open; return t;
            case '}': t.kind = Token::Close; return t;
            case '\r':
            case '\n': continue;  // line breaks in the file carry no meaning
            case '\\': return Escape();
            default:
                t.kind = Token::Char;
                t.byte = static_cast<unsigned char>(c);
                return t;
            }
        }
        return t;
    }

    // The raw bytes after \binN (fewer if the input ends first).
    QByteArrayView TakeBytes(int count)
    {
        const qsizetype n = std::min<qsizetype>(std::max(count, 0), end_ - p_);
        QByteArrayView bytes(p_, n);
        p_ += n;
        return bytes;
    }

private:
    Token Escape()
    {
        Token t;
        if (p_ == end_) {
            return t;  // a lone backslash at the very end
        }
        if (IsLetter(*p_)) {
            const char* start = p_;
            while (p_ < end_ && IsLetter(*p_)) {
                ++p_;
            }
            t.kind = Token::Word;
            t.word = std::string_view(start, static_cast<size_t>(p_ - start));
            bool negative = false;
            if (p_ + 1 < end_ && *p_ == '-' && IsDigit(p_[1])) {
                negative = true;
                ++p_;
            }
            if (p_ < end_ && IsDigit(*p_)) {
                long long value = 0;
                while (p_ < end_ && IsDigit(*p_)) {
                    if (value < kMaxParameter) {
                        value = value * 10 + (*p_ - '0');
                    }
                    ++p_;
                }
                value = std::min<long long>(value, kMaxParameter);
                t.hasParameter = true;
                t.parameter = static_cast<int>(negative ? -value : value);
            }
            if (p_ < end_ && *p_ == ' ') {
                ++p_;  // the delimiting space belongs to the word
            }
            return t;
        }
        const char c = *p_++;
        if (c == '\'') {
            // \'hh; a broken escape gives what its one hex digit says, or it stays
            // the control symbol \' that carries nothing.
            int value = 0;
            int digits = 0;
            while (digits < 2 && p_ < end_ && HexValue(*p_) >= 0) {
                value = value * 16 + HexValue(*p_++);
                ++digits;
            }
            if (digits == 0) {
                t.kind = Token::Symbol;
                t.symbol = c;
                return t;
            }
            t.kind = Token::Byte;
            t.byte = static_cast<unsigned char>(value);
            return t;
        }
        t.kind = Token::Symbol;
        t.symbol = c;
        return t;
    }

    const char* p_;
    const char* end_;
};

// The control words.

// clang-format off
enum class Kw {
    Ansi, Mac, Pc, Pca, AnsiCpg, Deff, Uc, U,
    Plain, F, Fs, B, I, Ul, UlNone,
    Pard, Ql, Qr, Qc, Qj, RtlPar, LtrPar,
    Par, Line, Tab, Cell, Emdash, Endash, Bullet, Lquote, Rquote, Ldblquote, Rdblquote,
    Zwj, Zwnj, RtlMark, LtrMark,
    FontTbl, Fcharset, Cpg,
    Pict, PngBlip, JpegBlip, OtherBlip, PicWGoal, PicHGoal, PicScaleX, PicScaleY, Bin,
    ReadDestination,  // a destination whose text is read (\shppict, \fldrslt, ...)
    SkipDestination,
};
// clang-format on

const std::unordered_map<std::string_view, Kw>& Keywords()
{
    // clang-format off
    static const std::unordered_map<std::string_view, Kw> table = {
        {"ansi", Kw::Ansi}, {"mac", Kw::Mac}, {"pc", Kw::Pc}, {"pca", Kw::Pca},
        {"ansicpg", Kw::AnsiCpg}, {"deff", Kw::Deff}, {"uc", Kw::Uc}, {"u", Kw::U},
        {"plain", Kw::Plain}, {"f", Kw::F}, {"fs", Kw::Fs}, {"b", Kw::B}, {"i", Kw::I},
        {"ul", Kw::Ul}, {"uld", Kw::Ul}, {"uldb", Kw::Ul}, {"ulw", Kw::Ul}, {"uldash", Kw::Ul},
        {"uldashd", Kw::Ul}, {"uldashdd", Kw::Ul}, {"ulth", Kw::Ul}, {"ulwave", Kw::Ul},
        {"ulnone", Kw::UlNone},
        {"pard", Kw::Pard}, {"ql", Kw::Ql}, {"qr", Kw::Qr}, {"qc", Kw::Qc}, {"qj", Kw::Qj},
        {"qd", Kw::Qj}, {"rtlpar", Kw::RtlPar}, {"ltrpar", Kw::LtrPar},
        {"par", Kw::Par}, {"sect", Kw::Par}, {"row", Kw::Par}, {"line", Kw::Line},
        {"tab", Kw::Tab}, {"cell", Kw::Cell}, {"emdash", Kw::Emdash}, {"endash", Kw::Endash},
        {"bullet", Kw::Bullet}, {"lquote", Kw::Lquote}, {"rquote", Kw::Rquote},
        {"ldblquote", Kw::Ldblquote}, {"rdblquote", Kw::Rdblquote}, {"zwj", Kw::Zwj},
        {"zwnj", Kw::Zwnj}, {"rtlmark", Kw::RtlMark}, {"ltrmark", Kw::LtrMark},
        {"fonttbl", Kw::FontTbl}, {"fcharset", Kw::Fcharset}, {"cpg", Kw::Cpg},
        {"pict", Kw::Pict}, {"pngblip", Kw::PngBlip}, {"jpegblip", Kw::JpegBlip},
        {"wmetafile", Kw::OtherBlip}, {"emfblip", Kw::OtherBlip}, {"macpict", Kw::OtherBlip},
        {"pmmetafile", Kw::OtherBlip}, {"dibitmap", Kw::OtherBlip}, {"wbitmap", Kw::OtherBlip},
        {"picwgoal", Kw::PicWGoal}, {"pichgoal", Kw::PicHGoal}, {"picscalex", Kw::PicScaleX},
        {"picscaley", Kw::PicScaleY}, {"bin", Kw::Bin},
        {"shppict", Kw::ReadDestination}, {"fldrslt", Kw::ReadDestination},
        {"shprslt", Kw::ReadDestination}, {"result", Kw::ReadDestination},
        {"colortbl", Kw::SkipDestination}, {"stylesheet", Kw::SkipDestination},
        {"info", Kw::SkipDestination}, {"header", Kw::SkipDestination},
        {"headerl", Kw::SkipDestination}, {"headerr", Kw::SkipDestination},
        {"headerf", Kw::SkipDestination}, {"footer", Kw::SkipDestination},
        {"footerl", Kw::SkipDestination}, {"footerr", Kw::SkipDestination},
        {"footerf", Kw::SkipDestination}, {"footnote", Kw::SkipDestination},
        {"annotation", Kw::SkipDestination}, {"fldinst", Kw::SkipDestination},
        {"nonshppict", Kw::SkipDestination}, {"object", Kw::SkipDestination},
        {"objdata", Kw::SkipDestination}, {"listtable", Kw::SkipDestination},
        {"listoverridetable", Kw::SkipDestination}, {"revtbl", Kw::SkipDestination},
        {"rsidtbl", Kw::SkipDestination}, {"filetbl", Kw::SkipDestination},
        {"pntext", Kw::SkipDestination}, {"pntxta", Kw::SkipDestination},
        {"pntxtb", Kw::SkipDestination}, {"template", Kw::SkipDestination},
        {"xe", Kw::SkipDestination}, {"tc", Kw::SkipDestination}, {"txe", Kw::SkipDestination},
        {"generator", Kw::SkipDestination}, {"themedata", Kw::SkipDestination},
        {"colorschememapping", Kw::SkipDestination}, {"latentstyles", Kw::SkipDestination},
        {"datastore", Kw::SkipDestination}, {"xmlnstbl", Kw::SkipDestination},
    };
    // clang-format on
    return table;
}

// The reader.

enum class Destination { Text, FontTable, Picture, Skip };
enum class Alignment { Default, Left, Center, Right, Justify };

struct CharProps {
    int font = -1;  // -1: the default font (\deff)
    int halfPoints = kDefaultHalfPoints;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool operator==(const CharProps&) const = default;
};

struct ParaProps {
    Alignment alignment = Alignment::Default;
    bool rightToLeft = false;
};

struct GroupState {
    CharProps chars;
    ParaProps para;
    Destination destination = Destination::Text;
    int unicodeSkip = 1;  // \uc
};

struct Font {
    QString family;
    int codePage = 0;  // 0: the document's
};

struct Picture {
    enum Kind { Unknown, Png, Jpeg } kind = Unknown;
    int goalWidth = 0;  // twips
    int goalHeight = 0;
    int scaleX = 100;  // percent
    int scaleY = 100;
    QByteArray data;
    int highNibble = -1;
};

class Reader {
public:
    Reader(QByteArrayView rtf, QTextDocument& document) : tokenizer_(rtf), document_(document), cursor_(&document)
    {
        states_.reserve(64);
        states_.emplace_back();
    }

    void Run()
    {
        for (Token t = tokenizer_.Next(); t.kind != Token::End; t = tokenizer_.Next()) {
            if (t.kind == Token::Open || t.kind == Token::Close) {
                FlushBytes();
                skipRemaining_ = 0;  // a fallback never runs past its group
                starPending_ = false;
                t.kind == Token::Open ? OpenGroup() : CloseGroup();
                continue;
            }
            if (t.kind == Token::Word && t.word == "bin") {
                // Binary data is never text: it is picture data or it is dropped, also
                // when it stands in a \u fallback or a skipped group.
                FlushBytes();
                const QByteArrayView bytes = tokenizer_.TakeBytes(t.hasParameter ? t.parameter : 0);
                if (overflow_ == 0 && skipRemaining_ == 0 && State().destination == Destination::Picture) {
                    picture_.data.append(bytes);
                }
                if (skipRemaining_ > 0) {
                    --skipRemaining_;
                }
                continue;
            }
            if (overflow_ > 0) {
                continue;
            }
            if (skipRemaining_ > 0) {  // the fallback characters after \uN
                --skipRemaining_;
                continue;
            }
            switch (t.kind) {
            case Token::Word:
                FlushBytes();
                Word(t);
                break;
            case Token::Symbol:
                FlushBytes();
                Symbol(t.symbol);
                break;
            case Token::Byte:
                starPending_ = false;
                TextByte(t.byte, true);
                break;
            case Token::Char:
                starPending_ = false;
                TextByte(t.byte, false);
                break;
            default: break;
            }
        }
        Finish();
    }

private:
    GroupState& State() { return states_.back(); }

    void OpenGroup()
    {
        if (overflow_ > 0 || states_.size() >= static_cast<size_t>(kMaxDepth)) {
            ++overflow_;
            return;
        }
        states_.push_back(states_.back());
    }

    void CloseGroup()
    {
        if (overflow_ > 0) {
            --overflow_;
            return;
        }
        if (states_.size() == 1) {
            return;  // a closing brace too many
        }
        if (states_.size() == 2) {
            // The end of the document's group: a last paragraph without \par takes
            // the paragraph properties in force here.
            CommitRun();
            if (!needBlock_) {
                FormatBlock();
            }
        }
        const Destination closing = states_.back().destination;
        states_.pop_back();
        if (closing == Destination::Picture && State().destination != Destination::Picture) {
            FinishPicture();
        }
        if (closing == Destination::FontTable) {
            CommitFontName();
        }
    }

    void Word(const Token& t)
    {
        const auto& keywords = Keywords();
        const auto found = keywords.find(t.word);
        const bool star = std::exchange(starPending_, false);
        GroupState& s = State();
        if (s.destination == Destination::Skip) {
            return;
        }
        if (found == keywords.end()) {
            if (star) {
                s.destination = Destination::Skip;  // an optional destination we do not read
            }
            return;
        }
        const Kw kw = found->second;
        if (star && kw != Kw::ReadDestination && kw != Kw::Pict && kw != Kw::FontTbl) {
            s.destination = Destination::Skip;
            return;
        }
        const int n = t.parameter;
        const bool on = !t.hasParameter || n != 0;
        switch (kw) {
        case Kw::Ansi: ansiCodePage_ = 1252; break;
        case Kw::Mac: ansiCodePage_ = 10000; break;
        case Kw::Pc: ansiCodePage_ = 437; break;
        case Kw::Pca: ansiCodePage_ = 850; break;
        case Kw::AnsiCpg:
            if (n > 0) {
                ansiCodePage_ = n;
            }
            break;
        case Kw::Deff: defaultFont_ = n; break;
        case Kw::Uc: s.unicodeSkip = std::clamp(n, 0, kMaxUnicodeSkip); break;
        case Kw::U:
            Unicode(n);
            skipRemaining_ = s.unicodeSkip;
            break;
        case Kw::Plain: s.chars = CharProps{}; break;
        case Kw::F:
            if (s.destination == Destination::FontTable) {
                CommitFontName();
                fontEntry_ = n;
                fonts_[n];
            } else {
                s.chars.font = n;
            }
            break;
        case Kw::Fs: s.chars.halfPoints = n > 0 ? std::min(n, kMaxHalfPoints) : kDefaultHalfPoints; break;
        case Kw::B: s.chars.bold = on; break;
        case Kw::I: s.chars.italic = on; break;
        case Kw::Ul: s.chars.underline = on; break;
        case Kw::UlNone: s.chars.underline = false; break;
        case Kw::Pard: s.para = ParaProps{}; break;
        case Kw::Ql: s.para.alignment = Alignment::Left; break;
        case Kw::Qr: s.para.alignment = Alignment::Right; break;
        case Kw::Qc: s.para.alignment = Alignment::Center; break;
        case Kw::Qj: s.para.alignment = Alignment::Justify; break;
        case Kw::RtlPar: s.para.rightToLeft = true; break;
        case Kw::LtrPar: s.para.rightToLeft = false; break;
        case Kw::Par:
            if (s.destination == Destination::Text) {
                EndParagraph();
            }
            break;
        case Kw::Line: Text(QChar(QChar::LineSeparator)); break;
        case Kw::Tab:
        case Kw::Cell: Text(QChar(u'\t')); break;
        case Kw::Emdash: Text(QChar(0x2014)); break;
        case Kw::Endash: Text(QChar(0x2013)); break;
        case Kw::Bullet: Text(QChar(0x2022)); break;
        case Kw::Lquote: Text(QChar(0x2018)); break;
        case Kw::Rquote: Text(QChar(0x2019)); break;
        case Kw::Ldblquote: Text(QChar(0x201C)); break;
        case Kw::Rdblquote: Text(QChar(0x201D)); break;
        case Kw::Zwj: Text(QChar(0x200D)); break;
        case Kw::Zwnj: Text(QChar(0x200C)); break;
        case Kw::RtlMark: Text(QChar(0x200F)); break;
        case Kw::LtrMark: Text(QChar(0x200E)); break;
        case Kw::FontTbl:
            s.destination = Destination::FontTable;
            fontEntry_ = -1;
            break;
        case Kw::Fcharset:
            if (s.destination == Destination::FontTable && fontEntry_ >= 0 && fonts_[fontEntry_].codePage == 0) {
                fonts_[fontEntry_].codePage = CodePageOfCharset(n);
            }
            break;
        case Kw::Cpg:
            if (s.destination == Destination::FontTable && fontEntry_ >= 0 && n > 0) {
                fonts_[fontEntry_].codePage = n;
            }
            break;
        case Kw::Pict:
            if (s.destination != Destination::Picture) {
                s.destination = Destination::Picture;
                picture_ = Picture{};
            }
            break;
        case Kw::PngBlip: picture_.kind = Picture::Png; break;
        case Kw::JpegBlip: picture_.kind = Picture::Jpeg; break;
        case Kw::OtherBlip: picture_.kind = Picture::Unknown; break;
        case Kw::PicWGoal: picture_.goalWidth = n; break;
        case Kw::PicHGoal: picture_.goalHeight = n; break;
        case Kw::PicScaleX: picture_.scaleX = n; break;
        case Kw::PicScaleY: picture_.scaleY = n; break;
        case Kw::SkipDestination: s.destination = Destination::Skip; break;
        case Kw::ReadDestination:
        case Kw::Bin:  // handled in Run()
            break;
        }
    }

    void Symbol(char c)
    {
        switch (c) {
        case '\\':
        case '{':
        case '}': TextByte(static_cast<unsigned char>(c), false); break;
        case '~': Text(QChar(0x00A0)); break;  // non-breaking space
        case '-': Text(QChar(0x00AD)); break;  // optional hyphen
        case '_': Text(QChar(0x2011)); break;  // non-breaking hyphen
        case '*': starPending_ = true; return;
        case '\r':
        case '\n':  // a backslash before a line break is a \par
            if (State().destination == Destination::Text) {
                EndParagraph();
            }
            break;
        default: break;  // \: \| a broken \' and the rest carry no text
        }
        starPending_ = false;
    }

    // A text byte: plain (or an escaped brace or backslash) or written \'hh.
    void TextByte(unsigned char b, bool escaped)
    {
        switch (State().destination) {
        case Destination::Text:
            if (b >= 0x20 || b == '\t') {
                pendingBytes_.append(static_cast<char>(b));
            }
            break;
        case Destination::FontTable:
            if (b == ';' && !escaped) {
                CommitFontName();
            } else if (b >= 0x20) {
                fontNameBytes_.append(static_cast<char>(b));
            }
            break;
        case Destination::Picture:
            if (!escaped) {
                PictureHexDigit(static_cast<char>(b));
            }
            break;
        case Destination::Skip: break;
        }
    }

    void Unicode(int n)
    {
        if (n < 0) {
            n += 65536;  // written as a signed 16-bit number
        }
        if (n < 0 || n > 0x10FFFF) {
            return;
        }
        if (n <= 0xFFFF) {
            Text(QChar(static_cast<char16_t>(n)));
        } else {
            const char32_t codePoint = static_cast<char32_t>(n);
            Text(QString::fromUcs4(&codePoint, 1));
        }
    }

    // Decoded text for the current destination.
    void Text(const QString& s)
    {
        switch (State().destination) {
        case Destination::Text:
            if (!run_.isEmpty() && runProps_ != State().chars) {
                CommitRun();
            }
            runProps_ = State().chars;
            run_ += s;
            break;
        case Destination::FontTable:
            fontName_ += codePages_.Decode(fontNameBytes_, FontCodePage());
            fontNameBytes_.clear();
            fontName_ += s;
            break;
        default: break;
        }
    }

    int FontCodePage()
    {
        const auto it = fonts_.find(fontEntry_);
        return it != fonts_.end() && it->second.codePage != 0 ? it->second.codePage : ansiCodePage_;
    }

    int TextCodePage()
    {
        const auto it = fonts_.find(State().chars.font >= 0 ? State().chars.font : defaultFont_);
        return it != fonts_.end() && it->second.codePage != 0 ? it->second.codePage : ansiCodePage_;
    }

    // Bytes are collected until another kind of token comes, so that a
    // multi-byte character or a run of \'hh letters decodes in one piece.
    void FlushBytes()
    {
        if (pendingBytes_.isEmpty()) {
            return;
        }
        const QString decoded = codePages_.Decode(pendingBytes_, TextCodePage());
        pendingBytes_.clear();
        Text(decoded);
    }

    void CommitFontName()
    {
        if (fontEntry_ < 0) {
            fontNameBytes_.clear();
            fontName_.clear();
            return;
        }
        fontName_ += codePages_.Decode(fontNameBytes_, FontCodePage());
        fontNameBytes_.clear();
        const QString family = fontName_.trimmed();
        fontName_.clear();
        if (!family.isEmpty()) {
            fonts_[fontEntry_].family = family;
        }
    }

    void PictureHexDigit(char c)
    {
        const int v = HexValue(c);
        if (v < 0) {
            return;
        }
        if (picture_.highNibble < 0) {
            picture_.highNibble = v;
        } else {
            picture_.data.append(static_cast<char>(picture_.highNibble * 16 + v));
            picture_.highNibble = -1;
        }
    }

    // ---- building the document ----

    QTextCharFormat CharFormat(const CharProps& p) const
    {
        QTextCharFormat f;
        const auto it = fonts_.find(p.font >= 0 ? p.font : defaultFont_);
        if (it != fonts_.end() && !it->second.family.isEmpty()) {
            f.setFontFamilies(QStringList{it->second.family});
        }
        f.setFontPointSize(p.halfPoints / 2.0);
        f.setFontWeight(p.bold ? QFont::Bold : QFont::Normal);
        f.setFontItalic(p.italic);
        f.setFontUnderline(p.underline);
        return f;
    }

    static QTextBlockFormat BlockFormat(const ParaProps& p)
    {
        QTextBlockFormat f;
        f.setLayoutDirection(p.rightToLeft ? Qt::RightToLeft : Qt::LeftToRight);
        switch (p.alignment) {
        case Alignment::Default: break;
        case Alignment::Left: f.setAlignment(Qt::AlignLeft | Qt::AlignAbsolute); break;
        case Alignment::Center: f.setAlignment(Qt::AlignHCenter); break;
        case Alignment::Right: f.setAlignment(Qt::AlignRight | Qt::AlignAbsolute); break;
        case Alignment::Justify: f.setAlignment(Qt::AlignJustify); break;
        }
        return f;
    }

    // Characters that QTextCursor would turn into block or frame boundaries or
    // objects, and lone surrogates, do not come through as text.
    static QString Cleaned(QString s)
    {
        for (qsizetype i = 0; i < s.size(); ++i) {
            const char16_t c = s[i].unicode();
            if (QChar::isHighSurrogate(c) && i + 1 < s.size() && QChar::isLowSurrogate(s[i + 1].unicode())) {
                ++i;
                continue;
            }
            if (QChar::isSurrogate(c) || (c >= 0xFDD0 && c <= 0xFDEF) || c == QChar::ObjectReplacementCharacter ||
                c == 0xFFFE || c == 0xFFFF) {
                s[i] = QChar::ReplacementCharacter;
            } else if (c == QChar::ParagraphSeparator) {
                s[i] = QChar::LineSeparator;
            } else if (c < 0x20 && c != u'\t') {
                s[i] = QChar(u' ');
            }
        }
        return s;
    }

    // QTextDocument starts with one empty block; a new block is opened only when
    // content follows a \par, so a final \par leaves no empty block behind.
    void EnsureBlock()
    {
        if (needBlock_) {
            cursor_.insertBlock();
            needBlock_ = false;
        }
        blockFormatted_ = false;  // content follows: the block's format is still to come
    }

    void CommitRun()
    {
        if (run_.isEmpty()) {
            return;
        }
        EnsureBlock();
        cursor_.insertText(Cleaned(run_), CharFormat(runProps_));
        run_.clear();
    }

    void EndParagraph()
    {
        CommitRun();
        EnsureBlock();
        FormatBlock();
        needBlock_ = true;
    }

    void FormatBlock()
    {
        cursor_.setBlockFormat(BlockFormat(State().para));
        cursor_.setBlockCharFormat(CharFormat(State().chars));
        blockFormatted_ = true;
    }

    void FinishPicture()
    {
        Picture picture = std::exchange(picture_, Picture{});
        if (picture.kind == Picture::Unknown || picture.data.isEmpty()) {
            return;
        }
        const QImage image = QImage::fromData(picture.data, picture.kind == Picture::Png ? "PNG" : "JPEG");
        if (image.isNull()) {
            return;
        }
        const auto side = [](int goal, int scale, int natural) {
            const double percent = scale > 0 ? scale : 100;
            const double pixels = goal > 0 ? goal / kTwipsPerPixel : natural;
            return std::clamp(pixels * percent / 100.0, 1.0, kMaxPictureSide);
        };
        const QString name = QStringLiteral("rtfimage://%1").arg(++pictureCount_);
        document_.addResource(QTextDocument::ImageResource, QUrl(name), image);
        CommitRun();
        EnsureBlock();
        QTextImageFormat f;
        f.setName(name);
        f.setWidth(side(picture.goalWidth, picture.scaleX, image.width()));
        f.setHeight(side(picture.goalHeight, picture.scaleY, image.height()));
        cursor_.insertImage(f);
    }

    void Finish()
    {
        FlushBytes();
        for (const GroupState& s : states_) {
            if (s.destination == Destination::Picture) {  // a picture cut off by the end
                FinishPicture();
                break;
            }
        }
        CommitRun();
        if (!needBlock_ && !blockFormatted_) {
            FormatBlock();  // the last paragraph had no \par
        }
    }

    Tokenizer tokenizer_;
    QTextDocument& document_;
    QTextCursor cursor_;
    CodePageDecoder codePages_;
    std::vector<GroupState> states_;
    int overflow_ = 0;  // groups opened beyond kMaxDepth and not yet closed
    bool starPending_ = false;
    int skipRemaining_ = 0;

    int ansiCodePage_ = 1252;
    int defaultFont_ = 0;
    std::map<int, Font> fonts_;
    int fontEntry_ = -1;
    QByteArray fontNameBytes_;
    QString fontName_;

    QByteArray pendingBytes_;
    QString run_;
    CharProps runProps_;
    bool needBlock_ = false;       // a \par was read and no content has followed yet
    bool blockFormatted_ = false;  // the last block has its format and no content came since

    Picture picture_;
    int pictureCount_ = 0;
};

}  // namespace

void ReadRtf(QByteArrayView rtf, QTextDocument& document)
{
    const bool undo = document.isUndoRedoEnabled();
    document.setUndoRedoEnabled(false);
    document.clear();
    Reader reader(rtf, document);
    reader.Run();
    document.setUndoRedoEnabled(undo);
}

}  // namespace zarnik
