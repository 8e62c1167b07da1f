// Reading RTF into a QTextDocument: each construct on small snippets, damaged
// input, and the shipped help document.

#include "rtf/RtfReader.h"

#include <QBuffer>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QRandomGenerator>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextImageFormat>
#include <QTextLayout>

#include <memory>

namespace {

std::unique_ptr<QTextDocument> Read(const QByteArray& rtf) {
  auto document = std::make_unique<QTextDocument>();
  zarnik::ReadRtf(rtf, *document);
  return document;
}

QStringList BlockTexts(const QTextDocument& document) {
  QStringList texts;
  for (QTextBlock b = document.begin(); b.isValid(); b = b.next()) texts << b.text();
  return texts;
}

// The char format of the first fragment whose text contains `marker`.
QTextCharFormat FormatOf(const QTextDocument& document, const QString& marker) {
  for (QTextBlock b = document.begin(); b.isValid(); b = b.next())
    for (auto it = b.begin(); !it.atEnd(); ++it)
      if (it.fragment().text().contains(marker)) return it.fragment().charFormat();
  return {};
}

struct PlacedImage {
  QTextImageFormat format;
  int block;
};

QList<PlacedImage> Images(const QTextDocument& document) {
  QList<PlacedImage> images;
  for (QTextBlock b = document.begin(); b.isValid(); b = b.next())
    for (auto it = b.begin(); !it.atEnd(); ++it)
      if (it.fragment().charFormat().isImageFormat())
        images.append({it.fragment().charFormat().toImageFormat(), b.blockNumber()});
  return images;
}

QByteArray Encoded(const QImage& image, const char* format) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, format);
  return bytes;
}

QImage Filled(int width, int height, QColor colour) {
  QImage image(width, height, QImage::Format_RGB32);
  image.fill(colour);
  return image;
}

QByteArray Png() { return Encoded(Filled(20, 10, Qt::red), "PNG"); }
QByteArray PngHex() { return Png().toHex(); }

QString Family(const QTextCharFormat& f) {
  const QStringList families = f.fontFamilies().toStringList();
  return families.isEmpty() ? QString() : families.first();
}

}  // namespace

class RtfReaderTest : public QObject {
  Q_OBJECT

 private slots:
  void readsText_data();
  void readsText();
  void readsCharacterFormats_data();
  void readsCharacterFormats();
  void readsParagraphFormats_data();
  void readsParagraphFormats();
  void emptyParagraphTakesSizeAtItsMark();
  void rightAndLeftArePageSides_data();
  void rightAndLeftArePageSides();
  void readsPictures_data();
  void readsPictures();
  void picturesAreNumberedResources();
  void readingAgainReplacesContent();
  void survivesDamagedInput_data();
  void survivesDamagedInput();
  void survivesRandomBytes_data();
  void survivesRandomBytes();
  void helpDocumentHas80Paragraphs();
  void helpDocumentQuotedTexts_data();
  void helpDocumentQuotedTexts();
  void helpDocumentLayout();
  void helpDocumentPictures();

 private:
  std::unique_ptr<QTextDocument> helpDocument();
};

void RtfReaderTest::readsText_data() {
  QTest::addColumn<QByteArray>("rtf");
  QTest::addColumn<QStringList>("blocks");

  QTest::newRow("each par ends a paragraph") << QByteArray(R"({\rtf1 Hello\par World\par})")
                                             << QStringList{"Hello", "World"};
  QTest::newRow("text after the last par") << QByteArray(R"({\rtf1 a\par b})") << QStringList{"a", "b"};
  QTest::newRow("empty paragraphs") << QByteArray(R"({\rtf1\par\par x\par})") << QStringList{"", "", "x"};
  QTest::newRow("no text") << QByteArray(R"({\rtf1})") << QStringList{""};
  QTest::newRow("empty input") << QByteArray() << QStringList{""};
  QTest::newRow("escaped backslash and braces") << QByteArray(R"({\rtf1 a\\b\{c\}d})")
                                                << QStringList{R"(a\b{c}d)"};
  QTest::newRow("delimiting space belongs to the word")
      << QByteArray(R"({\rtf1\b bold\b0  x\b0y})") << QStringList{"bold xy"};
  QTest::newRow("line breaks of the file ignored") << QByteArray("{\\rtf1 ab\r\ncd\n}") << QStringList{"abcd"};
  QTest::newRow("backslash before a line break is a par") << QByteArray("{\\rtf1 a\\\nb}")
                                                          << QStringList{"a", "b"};
  QTest::newRow("cp1256 letters from ansicpg") << QByteArray(R"({\rtf1\ansi\ansicpg1256 \'d3\'e1\'c7\'e3})")
                                               << QStringList{"سلام"};
  QTest::newRow("cp1256 through the font charset")
      << QByteArray(R"({\rtf1\ansi{\fonttbl{\f1\fcharset178 Courier New;}}\f1 \'c8\'d1\'e4\'c7\'e3\'e5 \'ed})")
      << QStringList{"برنامه ي"};
  QTest::newRow("Persian letters of cp1256") << QByteArray(R"({\rtf1\ansicpg1256 \'81\'8d\'8e\'90\'98\'a1})")
                                             << QStringList{"پچژگک،"};
  QTest::newRow("charset 0 font in a cp1256 document")
      << QByteArray(R"({\rtf1\ansi\ansicpg1256{\fonttbl{\f0\fcharset0 Courier New;}{\f1\fcharset178 Courier New;}})"
                    R"(\f0 \'e1\f1 \'e1})")
      << QStringList{"áل"};
  QTest::newRow("bytes of a double-byte code page decode together")
      << QByteArray(R"({\rtf1\ansi\ansicpg932 \'82\'a0})") << QStringList{"あ"};
  QTest::newRow("u with uc1 fallback") << QByteArray(R"({\rtf1\uc1\u1740?x})") << QStringList{"یx"};
  QTest::newRow("u with uc0") << QByteArray(R"({\rtf1\uc0\u1740 x})") << QStringList{"یx"};
  QTest::newRow("u with uc2") << QByteArray(R"({\rtf1\uc2\u1740??x})") << QStringList{"یx"};
  QTest::newRow("uc is 1 by default") << QByteArray(R"({\rtf1\u1740?x})") << QStringList{"یx"};
  QTest::newRow("a hex byte is one fallback character") << QByteArray(R"({\rtf1\uc1\u1740\'ed x})")
                                                        << QStringList{"ی x"};
  QTest::newRow("a control word is one fallback character") << QByteArray(R"({\rtf1\uc2\u1740\b ax})")
                                                            << QStringList{"یx"};
  QTest::newRow("fallback ends with its group") << QByteArray(R"({\rtf1\uc5\u1740{a}b})")
                                                << QStringList{"یab"};
  QTest::newRow("uc restored with the group") << QByteArray(R"({\rtf1{\uc3 a}\u1740?b})")
                                              << QStringList{"aیb"};
  QTest::newRow("negative u and a surrogate pair") << QByteArray(R"({\rtf1\u-10179?\u-8704?})")
                                                   << QStringList{"😀"};
  QTest::newRow("star destinations skipped")
      << QByteArray(R"({\rtf1{\*\generator Riched20 10.0.19041;}{\*\unknownthing text {\b more}}ok})")
      << QStringList{"ok"};
  QTest::newRow("tables and info skipped")
      << QByteArray(R"({\rtf1{\fonttbl{\f0 Arial;}}{\colortbl;\red0\green0\blue0;})"
                    R"({\stylesheet{\s0 Normal;}}{\info{\title T}{\author A}}body})")
      << QStringList{"body"};
  QTest::newRow("special characters")
      << QByteArray(R"({\rtf1 a\~b\_c\-d\tab e\line f\emdash\endash\bullet\lquote\rquote\ldblquote\rdblquote})")
      << QStringList{QString::fromUtf8("a\u00A0b\u2011c\u00ADd\te\u2028f—–•‘’“”")};
  QTest::newRow("field result read, instruction skipped")
      << QByteArray(R"({\rtf1{\field{\*\fldinst HYPERLINK "x"}{\fldrslt link}}})") << QStringList{"link"};
  QTest::newRow("unknown control words ignored") << QByteArray(R"({\rtf1\lang1065\sa200\sl276\slmult1 x})")
                                                 << QStringList{"x"};
  QTest::newRow("text outside any group") << QByteArray("plain") << QStringList{"plain"};
}

void RtfReaderTest::readsText() {
  QFETCH(QByteArray, rtf);
  QFETCH(QStringList, blocks);
  QCOMPARE(BlockTexts(*Read(rtf)), blocks);
}

void RtfReaderTest::readsCharacterFormats_data() {
  QTest::addColumn<QByteArray>("rtf");
  QTest::addColumn<QString>("family");
  QTest::addColumn<double>("points");
  QTest::addColumn<bool>("bold");
  QTest::addColumn<bool>("italic");
  QTest::addColumn<bool>("underline");

  // Each snippet's text "X" is the run examined.
  QTest::newRow("defaults") << QByteArray(R"({\rtf1 X})") << "" << 12.0 << false << false << false;
  QTest::newRow("bold italic underline") << QByteArray(R"({\rtf1\b\i\ul X})") << "" << 12.0 << true << true
                                         << true;
  QTest::newRow("switched off by 0") << QByteArray(R"({\rtf1\b\i\ul\b0\i0\ul0 X})") << "" << 12.0 << false
                                     << false << false;
  QTest::newRow("ulnone") << QByteArray(R"({\rtf1\ul\ulnone X})") << "" << 12.0 << false << false << false;
  QTest::newRow("size in half points") << QByteArray(R"({\rtf1\fs17 X})") << "" << 8.5 << false << false
                                       << false;
  QTest::newRow("inner group") << QByteArray(R"({\rtf1 a{\b\fs40 X}b})") << "" << 20.0 << true << false
                               << false;
  QTest::newRow("group end restores")
      << QByteArray(R"({\rtf1\fs24{\b\i\ul\fs40\f1 a{\b0 b}}X})") << "" << 12.0 << false << false << false;
  QTest::newRow("plain resets to the default font")
      << QByteArray(R"({\rtf1\deff0{\fonttbl{\f0 Courier New;}{\f1 Arial;}}\f1\b\i\ul\fs40\plain X})")
      << "Courier New" << 12.0 << false << false << false;
  QTest::newRow("font by table")
      << QByteArray(R"({\rtf1{\fonttbl{\f0\fcharset0 Courier New;}{\f2\fcharset178 Times New Roman;}}\f2 X})")
      << "Times New Roman" << 12.0 << false << false << false;
  QTest::newRow("default font") << QByteArray(R"({\rtf1\deff3{\fonttbl{\f0 Courier New;}{\f3 MS Sans Serif;}}X})")
                                << "MS Sans Serif" << 12.0 << false << false << false;
  QTest::newRow("font entries without groups")
      << QByteArray(R"({\rtf1{\fonttbl\f0\froman Times;\f1\fswiss Arial;}\f1 X})") << "Arial" << 12.0 << false
      << false << false;
  QTest::newRow("font with panose and alternate name")
      << QByteArray(R"({\rtf1{\fonttbl{\f0{\*\panose 02020603050405020304}Times New Roman{\*\falt Times};}}\f0 X})")
      << "Times New Roman" << 12.0 << false << false << false;
  QTest::newRow("unknown font index") << QByteArray(R"({\rtf1{\fonttbl{\f0 Arial;}}\f9 X})") << "" << 12.0
                                      << false << false << false;
  QTest::newRow("huge size clamped") << QByteArray(R"({\rtf1\fs99999999999999999999 X})") << "" << 1638.0
                                     << false << false << false;
  QTest::newRow("zero or negative size is the default") << QByteArray(R"({\rtf1\fs40\fs-5 X})") << "" << 12.0
                                                        << false << false << false;
}

void RtfReaderTest::readsCharacterFormats() {
  QFETCH(QByteArray, rtf);
  QFETCH(QString, family);
  QFETCH(double, points);
  QFETCH(bool, bold);
  QFETCH(bool, italic);
  QFETCH(bool, underline);
  const auto document = Read(rtf);
  const QTextCharFormat f = FormatOf(*document, "X");
  QVERIFY(f.isValid());
  QCOMPARE(Family(f), family);
  QCOMPARE(f.fontPointSize(), points);
  QCOMPARE(f.fontWeight() == QFont::Bold, bold);
  QCOMPARE(f.fontItalic(), italic);
  QCOMPARE(f.fontUnderline(), underline);
}

void RtfReaderTest::readsParagraphFormats_data() {
  QTest::addColumn<QByteArray>("rtf");
  QTest::addColumn<int>("block");
  QTest::addColumn<int>("alignment");
  QTest::addColumn<Qt::LayoutDirection>("direction");

  const int left = Qt::AlignLeft | Qt::AlignAbsolute;
  const int right = Qt::AlignRight | Qt::AlignAbsolute;
  QTest::newRow("default") << QByteArray(R"({\rtf1 a\par})") << 0 << int(Qt::AlignLeft) << Qt::LeftToRight;
  QTest::newRow("right to left, centred") << QByteArray(R"({\rtf1\pard\rtlpar\qc a\par})") << 0
                                          << int(Qt::AlignHCenter) << Qt::RightToLeft;
  QTest::newRow("right") << QByteArray(R"({\rtf1\pard\rtlpar\qr a\par})") << 0 << right << Qt::RightToLeft;
  QTest::newRow("left") << QByteArray(R"({\rtf1\pard\ql a\par})") << 0 << left << Qt::LeftToRight;
  QTest::newRow("justified") << QByteArray(R"({\rtf1\qj a\par})") << 0 << int(Qt::AlignJustify)
                             << Qt::LeftToRight;
  QTest::newRow("ltrpar") << QByteArray(R"({\rtf1\rtlpar\ltrpar a\par})") << 0 << int(Qt::AlignLeft)
                          << Qt::LeftToRight;
  QTest::newRow("carried to the next paragraph") << QByteArray(R"({\rtf1\rtlpar\qc a\par b\par})") << 1
                                                 << int(Qt::AlignHCenter) << Qt::RightToLeft;
  QTest::newRow("pard resets") << QByteArray(R"({\rtf1\rtlpar\qc a\par\pard b\par})") << 1
                               << int(Qt::AlignLeft) << Qt::LeftToRight;
  QTest::newRow("taken at the paragraph mark") << QByteArray(R"({\rtf1\qc a\qr\par})") << 0 << right
                                               << Qt::LeftToRight;
  QTest::newRow("paragraph without par") << QByteArray(R"({\rtf1 a\par\rtlpar\qc b})") << 1
                                         << int(Qt::AlignHCenter) << Qt::RightToLeft;
  QTest::newRow("group closed before the mark") << QByteArray(R"({\rtf1{\rtlpar\qc a}\par})") << 0
                                                << int(Qt::AlignLeft) << Qt::LeftToRight;
  QTest::newRow("empty paragraph") << QByteArray(R"({\rtf1 a\par\pard\rtlpar\qr\par})") << 1 << right
                                   << Qt::RightToLeft;
}

void RtfReaderTest::readsParagraphFormats() {
  QFETCH(QByteArray, rtf);
  QFETCH(int, block);
  QFETCH(int, alignment);
  QFETCH(Qt::LayoutDirection, direction);
  const auto document = Read(rtf);
  const QTextBlock b = document->findBlockByNumber(block);
  QVERIFY(b.isValid());
  QCOMPARE(int(b.blockFormat().alignment()), alignment);
  QCOMPARE(b.blockFormat().layoutDirection(), direction);
}

void RtfReaderTest::emptyParagraphTakesSizeAtItsMark() {
  const auto document = Read(R"({\rtf1\fs24 a\par\fs20\par{\fs17\b\par}})");
  QCOMPARE(document->blockCount(), 3);
  QCOMPARE(document->findBlockByNumber(1).charFormat().fontPointSize(), 10.0);
  QCOMPARE(document->findBlockByNumber(2).charFormat().fontPointSize(), 8.5);
  QCOMPARE(document->findBlockByNumber(2).charFormat().fontWeight(), int(QFont::Bold));
}

// \ql and \qr name sides of the page also in a right-to-left paragraph.
void RtfReaderTest::rightAndLeftArePageSides_data() {
  QTest::addColumn<QByteArray>("rtf");
  QTest::addColumn<QString>("side");
  QTest::newRow("rtl qr") << QByteArray(R"({\rtf1\rtlpar\qr abc\par})") << "right";
  QTest::newRow("rtl ql") << QByteArray(R"({\rtf1\rtlpar\ql abc\par})") << "left";
  QTest::newRow("ltr qr") << QByteArray(R"({\rtf1\ltrpar\qr abc\par})") << "right";
  QTest::newRow("rtl without q starts at the right") << QByteArray(R"({\rtf1\rtlpar abc\par})") << "right";
  QTest::newRow("rtl qc") << QByteArray(R"({\rtf1\rtlpar\qc abc\par})") << "centre";
}

void RtfReaderTest::rightAndLeftArePageSides() {
  QFETCH(QByteArray, rtf);
  QFETCH(QString, side);
  const auto document = Read(rtf);
  document->setDocumentMargin(0);
  document->setTextWidth(600);
  (void)document->size();  // lays the document out
  const QTextLine line = document->firstBlock().layout()->lineAt(0);
  QVERIFY(line.isValid());
  const QRectF ink = line.naturalTextRect();
  QVERIFY(ink.width() > 5 && ink.width() < 200);
  if (side == "right") QVERIFY2(ink.right() > 590, qPrintable(QString::number(ink.right())));
  if (side == "left") QVERIFY2(ink.left() < 10, qPrintable(QString::number(ink.left())));
  if (side == "centre") QVERIFY2(qAbs(ink.center().x() - 300) < 10, qPrintable(QString::number(ink.center().x())));
}

void RtfReaderTest::readsPictures_data() {
  QTest::addColumn<QByteArray>("rtf");
  QTest::addColumn<int>("count");
  QTest::addColumn<double>("width");
  QTest::addColumn<double>("height");

  const QByteArray hex = PngHex();
  const QByteArray jpegHex = Encoded(Filled(16, 8, Qt::blue), "JPEG").toHex();
  QByteArray brokenHex;
  for (qsizetype i = 0; i < hex.size(); i += 64) brokenHex += hex.mid(i, 64) + "\r\n ";

  QTest::newRow("png with goal size") << "{\\rtf1{\\pict\\pngblip\\picw20\\pich10\\picwgoal4153\\pichgoal441 " + hex + "}}"
                                      << 1 << 4153 / 15.0 << 441 / 15.0;
  QTest::newRow("jpeg with goal size") << "{\\rtf1{\\pict\\jpegblip\\picwgoal4678\\pichgoal446 " + jpegHex + "}}"
                                       << 1 << 4678 / 15.0 << 446 / 15.0;
  QTest::newRow("no goal: its own size") << "{\\rtf1{\\pict\\pngblip " + hex + "}}" << 1 << 20.0 << 10.0;
  QTest::newRow("scaled") << "{\\rtf1{\\pict\\pngblip\\picscalex50\\picscaley200\\picwgoal300\\pichgoal150 " + hex +
                                 "}}"
                          << 1 << 10.0 << 20.0;
  QTest::newRow("hex broken by line breaks") << "{\\rtf1{\\pict\\pngblip\n" + brokenHex + "}}" << 1 << 20.0 << 10.0;
  QTest::newRow("binary data") << "{\\rtf1{\\pict\\pngblip\\bin" + QByteArray::number(Png().size()) + " " + Png() +
                                      "}}"
                               << 1 << 20.0 << 10.0;
  QTest::newRow("metafile skipped") << QByteArray(R"({\rtf1 a{\pict\wmetafile8\picw20\pich10 0100090000}b})") << 0
                                    << 0.0 << 0.0;
  QTest::newRow("emf skipped") << QByteArray(R"({\rtf1{\pict\emfblip 01000000}})") << 0 << 0.0 << 0.0;
  QTest::newRow("undecodable data skipped") << QByteArray(R"({\rtf1{\pict\pngblip 0011223344}})") << 0 << 0.0
                                            << 0.0;
  QTest::newRow("shppict read, nonshppict skipped")
      << "{\\rtf1{\\*\\shppict{\\pict\\pngblip " + hex + "}}{\\nonshppict{\\pict\\pngblip " + hex + "}}}" << 1
      << 20.0 << 10.0;
  QTest::newRow("picture properties skipped")
      << "{\\rtf1{\\pict{\\*\\picprop{\\sp{\\sn wzName}{\\sv 12}}}\\pngblip " + hex + "}}" << 1 << 20.0 << 10.0;
  QTest::newRow("huge goal clamped") << "{\\rtf1{\\pict\\pngblip\\picwgoal99999999999\\pichgoal-5 " + hex + "}}" << 1
                                     << 16384.0 << 10.0;
  QTest::newRow("picture cut off by the end") << "{\\rtf1{\\pict\\pngblip " + hex << 1 << 20.0 << 10.0;
  QTest::newRow("picture in a skipped group") << "{\\rtf1{\\*\\foo{\\pict\\pngblip " + hex + "}}}" << 0 << 0.0
                                              << 0.0;
}

void RtfReaderTest::readsPictures() {
  QFETCH(QByteArray, rtf);
  QFETCH(int, count);
  QFETCH(double, width);
  QFETCH(double, height);
  const auto document = Read(rtf);
  const QList<PlacedImage> images = Images(*document);
  QCOMPARE(images.size(), count);
  if (count == 0) return;
  QCOMPARE(images[0].format.width(), width);
  QCOMPARE(images[0].format.height(), height);
  const QVariant resource = document->resource(QTextDocument::ImageResource, QUrl(images[0].format.name()));
  QVERIFY(resource.canConvert<QImage>());
  QVERIFY(!resource.value<QImage>().isNull());
}

void RtfReaderTest::picturesAreNumberedResources() {
  const QByteArray red = PngHex();
  const QByteArray green = Encoded(Filled(30, 5, Qt::green), "PNG").toHex();
  const auto document = Read("{\\rtf1 a\\par{\\pict\\pngblip " + red + "}\\par b\\par{\\pict\\pngblip " + green +
                             "}\\par}");
  QCOMPARE(BlockTexts(*document), (QStringList{"a", QString(QChar::ObjectReplacementCharacter), "b",
                                               QString(QChar::ObjectReplacementCharacter)}));
  const QList<PlacedImage> images = Images(*document);
  QCOMPARE(images.size(), 2);
  QCOMPARE(images[0].format.name(), "rtfimage://1");
  QCOMPARE(images[0].block, 1);
  QCOMPARE(images[1].format.name(), "rtfimage://2");
  QCOMPARE(images[1].block, 3);
  const QImage first = document->resource(QTextDocument::ImageResource, QUrl("rtfimage://1")).value<QImage>();
  const QImage second = document->resource(QTextDocument::ImageResource, QUrl("rtfimage://2")).value<QImage>();
  QCOMPARE(first.size(), QSize(20, 10));
  QCOMPARE(first.pixelColor(3, 3), QColor(Qt::red));
  QCOMPARE(second.size(), QSize(30, 5));
  QCOMPARE(second.pixelColor(3, 3), QColor(Qt::green));
}

void RtfReaderTest::readingAgainReplacesContent() {
  QTextDocument document;
  zarnik::ReadRtf("{\\rtf1 old\\par{\\pict\\pngblip " + PngHex() + "}\\par}", document);
  zarnik::ReadRtf(R"({\rtf1 new\par})", document);
  QCOMPARE(BlockTexts(document), QStringList{"new"});
  QVERIFY(Images(document).isEmpty());
  QVERIFY(document.resource(QTextDocument::ImageResource, QUrl("rtfimage://1")).isNull());
  QVERIFY(!document.isUndoAvailable());
}

void RtfReaderTest::survivesDamagedInput_data() {
  QTest::addColumn<QByteArray>("rtf");
  QTest::addColumn<QStringList>("readable");  // texts that must come through
  QTest::addColumn<int>("blocks");            // -1: any number

  const QByteArray opens(100000, '{');
  const QByteArray closes(100000, '}');
  QByteArray manyPars = "{\\rtf1 ";
  for (int i = 0; i < 100000; ++i) manyPars += "\\par ";
  manyPars += "end}";

  QTest::newRow("cut in a control word") << QByteArray(R"({\rtf1 Hello\pa)") << QStringList{"Hello"} << 1;
  QTest::newRow("cut in a hex escape") << QByteArray(R"({\rtf1 ab\'d)") << QStringList{"ab"} << 1;
  QTest::newRow("lone backslash at the end") << QByteArray("{\\rtf1 ab\\") << QStringList{"ab"} << 1;
  QTest::newRow("cut in the font table") << QByteArray(R"({\rtf1{\fonttbl{\f0 Cour)") << QStringList{} << 1;
  QTest::newRow("closing braces missing") << QByteArray(R"({\rtf1{\b{\i deep text\par more)")
                                          << QStringList{"deep text", "more"} << 2;
  QTest::newRow("closing braces too many") << QByteArray(R"({\rtf1 a}}} b})") << QStringList{"a b"} << 1;
  QTest::newRow("closing braces first") << QByteArray(R"(}}}{\rtf1 x})") << QStringList{"x"} << 1;
  QTest::newRow("bad hex") << QByteArray(R"({\rtf1 a\'zzb\'4g})") << QStringList{"azzbg"} << 1;
  QTest::newRow("100000 broken hex escapes") << "{\\rtf1 a" + QByteArray("\\'").repeated(100000) + " z}"
                                            << QStringList{"a z"} << 1;
  QTest::newRow("hex of control characters") << QByteArray(R"({\rtf1 a\'0a\'0d\'00b})") << QStringList{"ab"} << 1;
  QTest::newRow("huge u") << QByteArray(R"({\rtf1 a\u99999999999?b\u-99999999999?c})") << QStringList{"abc"} << 1;
  QTest::newRow("huge uc") << QByteArray(R"({\rtf1\uc99999999999\u1740 abc{d}e})") << QStringList{"یde"} << 1;
  QTest::newRow("u of block and frame separators")
      << QByteArray(R"({\rtf1 a\u10?b\u13?c\u8233?d\u-560?e\u-559?f\u-4?g})")
      << QStringList{QString::fromUtf8("a b c\u2028d\uFFFDe\uFFFDf\uFFFDg")} << 1;
  QTest::newRow("lone surrogates") << QByteArray(R"({\rtf1 a\u-10179?b\u-8704?c})") << QStringList{"a", "b", "c"}
                                   << 1;
  QTest::newRow("binary length beyond the end") << QByteArray(R"({\rtf1 a\bin999999 xyz)") << QStringList{"a"}
                                                << 1;
  QTest::newRow("binary bytes are not read as syntax") << QByteArray(R"({\rtf1 a\bin3 }}}b})")
                                                       << QStringList{"ab"} << 1;
  QTest::newRow("negative binary length") << QByteArray(R"({\rtf1 a\bin-5 b})") << QStringList{"ab"} << 1;
  static const char controls[] = "{\\rtf1 a\0\x01\x1f\x7f b}";
  QTest::newRow("control bytes in text") << QByteArray(controls, sizeof controls - 1)
                                         << QStringList{QString::fromUtf8("a\x7f b")} << 1;
  QTest::newRow("letters of a control word without end")
      << QByteArray("{\\rtf1 a\\") + QByteArray(100000, 'x') + "y b}" << QStringList{"a", "b"} << 1;
  QTest::newRow("100000 nested groups")
      << "{\\rtf1 before" + opens + "lost" + closes + " after}" << QStringList{"before after"} << 1;
  QTest::newRow("100000 groups never closed") << "{\\rtf1 x" + opens + "y" << QStringList{"x"} << 1;
  QTest::newRow("100000 closing braces") << closes + "x" << QStringList{"x"} << 1;
  QTest::newRow("100000 paragraphs") << manyPars << QStringList{"end"} << 100001;
  QTest::newRow("font table never closed") << QByteArray(R"({\rtf1{\fonttbl{\f0 A;}\f1 B;\par text)")
                                           << QStringList{} << 1;
  QTest::newRow("many code pages")
      << [] {
           QByteArray rtf = "{\\rtf1{\\fonttbl";
           for (int i = 0; i < 2000; ++i) rtf += "{\\f" + QByteArray::number(i) + "\\cpg" + QByteArray::number(i + 1) + " F;}";
           rtf += "}";
           for (int i = 0; i < 2000; ++i) rtf += "\\f" + QByteArray::number(i) + " \\'e1";
           return rtf + " ok}";
         }()
      << QStringList{"ok"} << 1;
}

void RtfReaderTest::survivesDamagedInput() {
  QFETCH(QByteArray, rtf);
  QFETCH(QStringList, readable);
  QFETCH(int, blocks);
  QElapsedTimer timer;
  timer.start();
  const auto document = Read(rtf);
  // Bounded time, far below what a reader quadratic in its input would take;
  // the sanitizers make every step several times slower.
#ifdef __SANITIZE_ADDRESS__
  constexpr qint64 kLimitMs = 30000;
#else
  constexpr qint64 kLimitMs = 5000;
#endif
  QVERIFY2(timer.elapsed() < kLimitMs, qPrintable(QString("took %1 ms").arg(timer.elapsed())));
  const QString text = BlockTexts(*document).join('\n');
  for (const QString& part : readable) QVERIFY2(text.contains(part), qPrintable(text.left(200)));
  if (blocks >= 0) QCOMPARE(document->blockCount(), blocks);
  for (const QChar c : text)  // nothing that would break a block or a frame came through as text
    QVERIFY(c != QChar(0xFDD0) && c != QChar(0xFDD1) && c != QChar(QChar::ParagraphSeparator) && c != '\r');
}

void RtfReaderTest::survivesRandomBytes_data() {
  QTest::addColumn<quint32>("seed");
  QTest::addColumn<bool>("soup");  // false: any bytes; true: bytes that look like RTF
  for (quint32 seed : {1u, 2u, 3u}) {
    QTest::addRow("bytes %u", seed) << seed << false;
    QTest::addRow("rtf soup %u", seed) << seed << true;
  }
}

void RtfReaderTest::survivesRandomBytes() {
  QFETCH(quint32, seed);
  QFETCH(bool, soup);
  static const char* const pieces[] = {"{", "}", "\\par ", "\\pict\\pngblip ", "\\'", "\\u", "\\uc", "-",
                                       "1740", "9999999999", "\\*", "\\fonttbl", "\\f", "\\bin", "\\b", "89504e47",
                                       " ", "a", "\\'e1", ";", "\\", "\\fs", "\\rtlpar\\qc", "\\plain", "\\pard"};
  QRandomGenerator random(seed);
  QByteArray rtf;
  while (rtf.size() < 300000) {
    if (soup)
      rtf += pieces[random.bounded(int(std::size(pieces)))];
    else
      rtf += char(random.bounded(256));
  }
  QElapsedTimer timer;
  timer.start();
  const auto document = Read(rtf);
  QVERIFY2(timer.elapsed() < 10000, qPrintable(QString("took %1 ms").arg(timer.elapsed())));
  QVERIFY(document->blockCount() >= 1);
}

// The shipped help document. It ends with \par, so its 80 paragraphs are
// exactly 80 blocks (see RtfReader.h for how blocks are counted).

std::unique_ptr<QTextDocument> RtfReaderTest::helpDocument() {
  QFile file(QStringLiteral(ZARNIK_HELP_RTF));
  if (!file.open(QIODevice::ReadOnly)) return nullptr;
  return Read(file.readAll());
}

void RtfReaderTest::helpDocumentHas80Paragraphs() {
  const auto document = helpDocument();
  QVERIFY2(document, ZARNIK_HELP_RTF " cannot be read");
  QCOMPARE(document->blockCount(), 80);
  const QList<int> empty = {1, 3, 11, 13, 23, 25, 36, 38, 46, 49, 51, 61, 63, 65, 67, 70, 72,
                            74, 75, 76, 77, 78, 79, 80};
  for (int n = 1; n <= 80; ++n) {
    const QString text = document->findBlockByNumber(n - 1).text();
    QVERIFY2(text.isEmpty() == empty.contains(n), qPrintable(QString("paragraph %1: %2").arg(n).arg(text)));
  }
}

void RtfReaderTest::helpDocumentQuotedTexts_data() {
  QTest::addColumn<int>("paragraph");
  QTest::addColumn<QString>("text");
  QTest::newRow("paragraph 2") << 2 << QStringLiteral("با ســـــــــــــــــــلام");
  QTest::newRow("paragraph 14") << 14 << QStringLiteral("قهوه ای..........1");
  QTest::newRow("paragraph 47") << 47 << QStringLiteral("طلایی.............*0.1");
  QTest::newRow("paragraph 59") << 59 << QStringLiteral("نقره ای ........10 %");
  QTest::newRow("paragraph 62") << 62 << QStringLiteral("برای محاسبه ی مقدار مقاومت دو رنگ اول(اعداد شان) را با هم خوانده و در عدد رنگ سوم ( ضریب ) ضرب کرده تا مقدار مقاومت بر حسب اهم بدست آید.رنگ چهارم بیانگر درصد تلرانس مقاومت می باشد.");
  QTest::newRow("paragraph 69") << 69 << QStringLiteral("مثال:(بنفش،قرمز،قهوه ای،نارنجی،آبی)");
}

void RtfReaderTest::helpDocumentQuotedTexts() {
  QFETCH(int, paragraph);
  QFETCH(QString, text);
  const auto document = helpDocument();
  QVERIFY2(document, ZARNIK_HELP_RTF " cannot be read");
  QCOMPARE(document->findBlockByNumber(paragraph - 1).text(), text);
}

void RtfReaderTest::helpDocumentLayout() {
  const auto document = helpDocument();
  QVERIFY2(document, ZARNIK_HELP_RTF " cannot be read");
  QCOMPARE(document->blockCount(), 80);

  for (QTextBlock b = document->begin(); b.isValid(); b = b.next()) {
    const int n = b.blockNumber() + 1;
    const QString where = QString("paragraph %1").arg(n);
    QVERIFY2(b.blockFormat().layoutDirection() == Qt::RightToLeft, qPrintable(where));
    const int alignment = n == 80 ? (Qt::AlignRight | Qt::AlignAbsolute) : int(Qt::AlignHCenter);
    QVERIFY2(int(b.blockFormat().alignment()) == alignment, qPrintable(where));
    const double blockPoints = (n == 66 || n == 71) ? 8.5 : n == 78 ? 10 : 12;
    QVERIFY2(b.charFormat().fontPointSize() == blockPoints, qPrintable(where));
    for (auto it = b.begin(); !it.atEnd(); ++it) {
      const QTextCharFormat f = it.fragment().charFormat();
      if (f.isImageFormat()) continue;
      QVERIFY2(f.fontPointSize() == 12, qPrintable(where));
      QVERIFY2((f.fontWeight() == QFont::Bold) == (n == 73), qPrintable(where));  // only the thanks line is bold
    }
  }

  // Paragraph 64: the quoted text in the Persian font, its colon in the
  // Arabic Times New Roman, then five underlined spaces; nothing else underlined.
  const QString quoted = QStringLiteral("برای مثال مقاومتی با رنگهای (طلایی  قرمز قرمز قرمز):");
  const QTextBlock b64 = document->findBlockByNumber(63);
  QCOMPARE(b64.text(), quoted + "     ");
  QString underlined;
  for (QTextBlock b = document->begin(); b.isValid(); b = b.next())
    for (auto it = b.begin(); !it.atEnd(); ++it)
      if (it.fragment().charFormat().fontUnderline()) underlined += it.fragment().text();
  QCOMPARE(underlined, QString("     "));
  QCOMPARE(Family(FormatOf(*document, "(")), QString("Courier New"));
  QTextCursor colon(b64);
  colon.setPosition(b64.position() + quoted.size());  // the format of the character before the cursor
  QCOMPARE(Family(colon.charFormat()), QString("Times New Roman"));

  // Paragraph 73: the thanks word with its 20 kashidas, a hyphen, the credit,
  // a hyphen, "summer 86"; no spaces around the hyphens.
  const QString closing = document->findBlockByNumber(72).text();
  const QString thanks = QStringLiteral("با تشکــــــــــــــــــــر");
  const QString summer = QStringLiteral("تابستان 86");
  QVERIFY2(closing.startsWith(thanks + "-"), qPrintable(closing));
  QVERIFY2(closing.endsWith("-" + summer), qPrintable(closing));
  QCOMPARE(closing.count('-'), 2);
  const QString credit = closing.mid(thanks.size() + 1, closing.size() - thanks.size() - summer.size() - 2);
  QVERIFY2(!credit.isEmpty() && credit.trimmed() == credit, qPrintable(credit));
  QCOMPARE(thanks.count(QChar(0x0640)), 20);
}

void RtfReaderTest::helpDocumentPictures() {
  const auto document = helpDocument();
  QVERIFY2(document, ZARNIK_HELP_RTF " cannot be read");
  const QList<PlacedImage> images = Images(*document);
  QCOMPARE(images.size(), 2);
  struct Expected {
    int paragraph;
    int widthTwips;
    int heightTwips;
  };
  const Expected expected[] = {{66, 4153, 441}, {71, 4678, 446}};
  for (int i = 0; i < 2; ++i) {
    QCOMPARE(images[i].block + 1, expected[i].paragraph);
    QCOMPARE(images[i].format.width(), expected[i].widthTwips / 15.0);
    QCOMPARE(images[i].format.height(), expected[i].heightTwips / 15.0);
    const QImage image =
        document->resource(QTextDocument::ImageResource, QUrl(images[i].format.name())).value<QImage>();
    QVERIFY(!image.isNull());
    // The picture itself has the shape it is shown at.
    const double shown = double(expected[i].widthTwips) / expected[i].heightTwips;
    const double own = double(image.width()) / image.height();
    QVERIFY2(qAbs(own / shown - 1) < 0.1, qPrintable(QString("%1 x %2").arg(image.width()).arg(image.height())));
  }
}

QTEST_MAIN(RtfReaderTest)
#include "help_reader_test.moc"
