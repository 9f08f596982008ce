// A drawing of the device context saved as a file: SVG, PNG or PDF, rendered with Qt's SVG
// generator, image and PDF writer. Needs no display. The header stays free of Qt, so that
// callers outside this library do not see the toolkit.
#pragma once

#include <afxdc.h>

#include <functional>
#include <string>

enum class DrawingFormat { Svg, Png, Pdf };

// The format that the extension of `path` asks for, regardless of case; false for another.
bool DrawingFormatOfPath(const std::string& path, DrawingFormat& format);

using DrawFunction = std::function<void(CDC& dc, const CRect& area)>;

// The bytes of a file of `format` that shows draw() on an area of size.cx × size.cy pixels at
// 96 dots per inch (for PDF a page of that size). `title` becomes the document's title where the
// format has one (SVG, PDF). False with a message otherwise.
bool RenderDrawing(DrawingFormat format, CSize size, const DrawFunction& draw, std::string& bytes,
                   std::string& error, const std::string& title = {});
