#pragma once

// Reads the help document, an RTF file, into a QTextDocument.
//
// Pipeline: a tokenizer cuts the bytes into groups, control words, control
// symbols, \'hh bytes and text; a stack of group states carries the character
// properties (font, size, bold, italic, underline), the paragraph properties
// (alignment, direction), the destination and the \uc count; text bytes are
// decoded through the code page of the current font (\fcharset) or of the
// document (\ansicpg); a QTextCursor writes runs, paragraphs and pictures.
//
// What it reads:
// - \par ends a paragraph. Every \par gives one block; text or a picture
//   after the last \par gives one more. A document that ends with \par has
//   exactly as many blocks as it has \par marks (QTextDocument's own first
//   block is reused, so no empty block trails). Empty input gives the one empty
//   block every QTextDocument has.
// - Block formats: \qc centred, \qj justified, \ql and \qr left and right on
//   the page whatever the direction (Qt::AlignAbsolute); a paragraph without
//   \q keeps Qt's default, which follows its direction. \rtlpar sets
//   Qt::RightToLeft, \ltrpar Qt::LeftToRight. The char format of each block
//   (its empty-line height) is the one in force at its \par.
// - Char formats: the family from the font table, \fs as points, bold,
//   italic, underline.
// - {\pict\pngblip ...} and {\pict\jpegblip ...}: the picture is added to the
//   document as the image resource "rtfimage://N" (N = 1, 2, ... in order)
//   and placed at \picwgoal x \pichgoal twips (1/15 pixel each), scaled by
//   \picscalex/\picscaley; without a goal size at its own pixel size. Other
//   picture kinds (metafiles, device bitmaps) are skipped.
// - Skipped: \* destinations the reader does not know, and \colortbl,
//   \stylesheet, \info, headers, footers, footnotes, field instructions and
//   other non-text destinations.
//
// Damaged input never stops it: unknown control words are ignored, closing
// braces without an open group are ignored, a missing closing brace ends the
// document where the bytes end, numeric parameters saturate, groups nested
// deeper than a fixed limit are read as skipped, and the work is linear in
// the input size.

#include <QByteArrayView>

class QTextDocument;

namespace zarnik {

// Replaces the content (and the image resources) of `document` with the RTF
// document in `rtf`. Accepts any bytes.
void ReadRtf(QByteArrayView rtf, QTextDocument& document);

}  // namespace zarnik
