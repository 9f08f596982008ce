// travex-host plot, run as a separate process: the SVG read as XML, the PNG looked at pixel by
// pixel, the PDF opened by poppler, and what is refused.
#include <DrawingFile.h>
#include <MotionFigures.h>

#include <QColor>
#include <QImage>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "host_scratch_folder.h"
#include "preview/MotionProfileFile.h"
#include "preview/PreviewPlot.h"
#include "pt/PtTableReader.h"

namespace host_test {
namespace {

const fs::path kExamples = kSourceDir / "examples";
const fs::path kSCurve = kExamples / "s-curve-10rot.ptm";

using HostPlot = HostScratchFolder;

bool HasProgram(const char* name) {
    return std::system(("command -v " + std::string(name) + " >/dev/null 2>&1").c_str()) == 0;
}

// The panels that the plot of the S-curve in rot and s has on an area of `size`, laid out by
// the kernel on the same surface and fonts that travex-host draws with.
PreviewPlotLayout SCurveLayout(CSize size, const MotionLimits& limits) {
    auto setup = CDriveSetup::CreateDefault();
    PtTable table;
    EXPECT_STREQ(ReadPtTable(Contents(kSCurve), *setup, table).GetString(), "");
    TrajectoryPreview preview;
    std::string error;
    EXPECT_TRUE(preview.Build(table.times, table.positions, error));
    const MotionFigures figures = MotionFigures::Of(preview);
    PreviewPlotContent content;
    content.preview = &preview;
    content.figures = &figures;
    content.units = {{"rot", 2000}, {"s", 1250}};
    content.limits = limits;
    content.title = "s-curve-10rot.ptm on Rotary drive, 500-line encoder";
    PreviewPlotLayout layout;
    std::string bytes;
    EXPECT_TRUE(RenderDrawing(
        DrawingFormat::Png, size,
        [&](CDC& dc, const CRect& area) { layout = LayOutPreviewPlot(dc, area, content); }, bytes,
        error));
    return layout;
}

bool IsCurveColour(QRgb pixel) {
    // CR16_CURVE, RGB(0, 64, 192), and its antialiased edges on the light background.
    return qBlue(pixel) > 150 && qRed(pixel) < 90 && qGreen(pixel) < 130;
}

// What Python's XML parser finds in an SVG plot: the plot areas (the rectangles in the graph's
// background colour) and every text.
struct SvgContents {
    std::string size;  // the view box
    std::vector<CRect> panels;
    std::multiset<std::string> texts;
    std::string all;  // for messages
};

SvgContents ReadSvg(const std::string& svg) {
    const std::string script =
        "import sys, xml.etree.ElementTree as ET\n"
        "ns = '{http://www.w3.org/2000/svg}'\n"
        "root = ET.parse(sys.argv[1]).getroot()\n"
        "print('size', root.get('viewBox'))\n"
        "for g in root.iter(ns + 'g'):\n"
        "    if g.get('fill') == '#fffff0' and g.get('transform') == 'matrix(1,0,0,1,0,0)':\n"
        "        for r in g.findall(ns + 'rect'):\n"
        "            print('panel', r.get('x'), r.get('y'), r.get('width'), r.get('height'))\n"
        "for t in root.iter(ns + 'text'):\n"
        "    print('text', ''.join(t.itertext()).strip())\n";
    const ChildResult read = RunChild("/usr/bin/env", {"python3", "-c", script, svg});
    EXPECT_EQ(read.exitStatus, 0) << read.err;
    SvgContents contents;
    contents.all = read.out;
    std::istringstream lines(read.out);
    for (std::string line; std::getline(lines, line);) {
        if (line.starts_with("panel ")) {
            std::istringstream numbers(line.substr(6));
            int x = 0, y = 0, width = 0, height = 0;
            numbers >> x >> y >> width >> height;
            contents.panels.emplace_back(x, y, x + width, y + height);
        } else if (line.starts_with("text ")) {
            contents.texts.insert(line.substr(5));
        } else if (line.starts_with("size ")) {
            contents.size = line.substr(5);
        }
    }
    return contents;
}

TEST_F(HostPlot, SvgParsesAsXmlWithThreePanelsOnOneTimeAxis) {
    if (!HasProgram("python3")) GTEST_SKIP() << "no python3";
    const std::string svg = (dir / "s.svg").string();
    const ChildResult plotted =
        Host({"plot", kSCurve.string(), "-o", svg, "--time-unit", "s", "--max-speed", "45 rot/s"});
    ASSERT_EQ(plotted.exitStatus, 0) << plotted.err;
    EXPECT_EQ(plotted.out, "");
    EXPECT_EQ(plotted.err, "");
    const SvgContents read = ReadSvg(svg);
    EXPECT_EQ(read.size, "0 0 1200 900");
    const std::vector<CRect>& panels = read.panels;
    const std::multiset<std::string>& texts = read.texts;
    MotionLimits limits;
    limits.maxSpeed = 45 * 2000 / 1250.0;
    const PreviewPlotLayout layout = SCurveLayout(CSize(1200, 900), limits);
    ASSERT_EQ(panels.size(), 3u) << read.all;
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(panels[static_cast<size_t>(i)], layout.panels[i]) << i;
        // One time axis: the panels stand one above the other, equally wide.
        EXPECT_EQ(panels[static_cast<size_t>(i)].left, panels[0].left);
        EXPECT_EQ(panels[static_cast<size_t>(i)].right, panels[0].right);
        if (i > 0) {
            EXPECT_GT(panels[static_cast<size_t>(i)].top, panels[i - 1u].bottom);
        }
    }
    // The document's title is the plot's.
    EXPECT_NE(Contents(svg).find("<title>s-curve-10rot.ptm on Rotary drive, 500-line "
                                 "encoder</title>"),
              std::string::npos);
    for (const char* title :
         {"Position [rot]", "Speed [rot/s]", "Acceleration [rot/s\u00B2]", "Time [s]",
          "limit 45 rot/s", "peak 40.8375 rot/s at 0.245 s", "peak 275 rot/s\u00B2 at 0.12 s"}) {
        EXPECT_EQ(texts.count(title), 1u) << title << "\n" << read.all;
    }
}

// A plot drawn in-process on the surface that travex-host draws with, the image and what it
// placed.
struct DrawnPlot {
    QImage image;
    PreviewPlotMarks marks;
    PreviewPlotLayout layout;
};

DrawnPlot Draw(const PreviewPlotContent& content, CSize size) {
    DrawnPlot drawn;
    std::string bytes, error;
    EXPECT_TRUE(RenderDrawing(
        DrawingFormat::Png, size,
        [&](CDC& dc, const CRect& area) {
            drawn.layout = LayOutPreviewPlot(dc, area, content);
            DrawPreviewPlot(dc, area, content, &drawn.marks);
        },
        bytes, error))
        << error;
    drawn.image = QImage::fromData(reinterpret_cast<const uchar*>(bytes.data()),
                                   static_cast<int>(bytes.size()), "PNG");
    return drawn;
}

// The rows of curve-coloured pixels in column x.
std::vector<int> CurveRows(const QImage& image, int x, const CRect& panel) {
    std::vector<int> rows;
    for (int y = panel.top; y < panel.bottom; ++y) {
        if (IsCurveColour(image.pixel(x, y))) rows.push_back(y);
    }
    return rows;
}

// Small motions searched for acceleration peaks of either sign at an inner point (where the
// value on the other side is smaller, of the same sign: the model never changes sign across a
// point where |a| peaks) and at an end of the motion (where the curve leaves rest, and changes
// sign within the segment); sides and signs come from sampled positions (second differences),
// not from the model's figures. The marker must sit where the curve arrives at the point on
// the peak's side.
TEST_F(HostPlot, PeakMarkerSitsOnTheCurveAtTheSignOfThePeak) {
    std::mt19937_64 random(7);
    std::uniform_int_distribution<int> step(20, 300), move(-3000, 3000);
    bool found[2][2] = {};  // [positive][at an inner point]
    int plotted = 0;
    for (int attempt = 0; attempt < 5000 && plotted < 4; ++attempt) {
        std::vector<double> times = {0}, positions = {0};
        for (int i = 0; i < 4; ++i) {
            times.push_back(times.back() + step(random));
            positions.push_back(positions.back() + move(random));
        }
        TrajectoryPreview preview;
        std::string error;
        ASSERT_TRUE(preview.Build(times, positions, error));
        const MotionFigures figures = MotionFigures::Of(preview);
        const MotionPeak& peak = figures.peakAcceleration;
        // The peak at an inner point, on the side of the segment that holds it: -1 when it is
        // that segment's end (the curve arrives from the left), +1 when its start.
        const size_t segment = static_cast<size_t>(peak.segment);
        const int side = peak.time == times[segment] ? 1 : -1;
        const size_t point = side < 0 ? segment + 1 : segment;
        if (peak.time != times[point]) continue;
        const bool inner = point > 0 && point + 1 < times.size();
        // Second differences of sampled positions on either side of the point.
        const double h = 0.01, t = times[point];
        const auto sampled = [&](double direction) {
            return (preview.PositionAt(t + 2 * direction * h) -
                    2 * preview.PositionAt(t + direction * h) + preview.PositionAt(t)) /
                   (h * h);
        };
        const double own = sampled(side);
        const double other = inner ? sampled(-side) : 0;  // the drive rests outside the motion
        if (std::abs(own) < 1.2 * std::abs(other)) continue;
        const bool positive = own > 0;
        // At an inner point the model keeps the sign across it (the case that once put the
        // marker on the wrong side); at the motion's ends the curve leaves rest.
        if (inner) {
            EXPECT_EQ(own > 0, other > 0) << attempt;
        }
        if (found[positive][inner]) continue;
        found[positive][inner] = true;
        ++plotted;

        PreviewPlotContent content{&preview, &figures, {}, {}, "peak", false, nullptr, {}};
        const DrawnPlot drawn = Draw(content, CSize(900, 700));
        ASSERT_EQ(drawn.marks.peaks.size(), 2u);
        const CPoint marker = drawn.marks.peaks[1];
        const CRect& panel = drawn.layout.panels[2];
        // On the peak's side of the marker (outside its disc) the curve, a straight line, leads
        // to the marker's centre.
        const auto rowNear = [&](int x) {
            int nearest = -panel.Height();
            for (int y : CurveRows(drawn.image, x, panel)) {
                if (std::abs(y - marker.y) < std::abs(nearest - marker.y)) nearest = y;
            }
            return nearest;
        };
        const int near = rowNear(marker.x + 6 * side), far = rowNear(marker.x + 10 * side);
        const double aimed = near + (near - far) * 6 / 4.0;
        EXPECT_NEAR(aimed, marker.y, 5) << "positive " << positive << ", inner " << inner;
    }
    EXPECT_EQ(plotted, 4) << "not every kind of peak was found: " << found[0][0] << found[0][1]
                          << found[1][0] << found[1][1];
}

// Every example at three sizes, with and without the jerk, with limits close to its peaks so
// that their lines and labels crowd the curves: no two texts share a pixel, and each lies
// inside the drawing.
TEST_F(HostPlot, LabelsNeverOverlapInAnyExampleAtAnySize) {
    auto setup = CDriveSetup::CreateDefault();
    int plots = 0;
    for (const auto& entry : fs::directory_iterator(kExamples)) {
        if (entry.path().extension() != ".ptm") continue;
        PtTable table;
        if (!ReadPtTable(Contents(entry.path()), *setup, table).IsEmpty()) continue;
        TrajectoryPreview preview;
        std::string error;
        if (!preview.Build(table.times, table.positions, error)) continue;
        const MotionFigures figures = MotionFigures::Of(preview);
        MotionLimits limits;
        limits.maxSpeed = 0.9 * figures.peakSpeed.value;
        limits.maxAcceleration = 0.9 * figures.peakAcceleration.value;
        limits.maxJerk = 0.2 * figures.peakJerk.value;  // far below: its line lies inside
        for (const CSize size : {CSize(1200, 900), CSize(700, 500), CSize(400, 300)}) {
            for (const bool jerk : {false, true}) {
                PreviewPlotContent content{
                    &preview,
                    &figures,
                    {table.positionUnit, table.timeUnit},
                    limits,
                    entry.path().filename().string() + " on Rotary drive, 500-line encoder",
                    jerk,
                    nullptr,
                    {}};
                const DrawnPlot drawn = Draw(content, size);
                const std::string where =
                    content.title + " at " + std::to_string(size.cx) + (jerk ? " with jerk" : "");
                const std::vector<CRect>& labels = drawn.marks.labels;
                EXPECT_GE(labels.size(), jerk ? 9u : 7u) << where;
                for (size_t i = 0; i < labels.size(); ++i) {
                    EXPECT_TRUE(labels[i].left >= 0 && labels[i].top >= 0 &&
                                labels[i].right <= size.cx && labels[i].bottom <= size.cy)
                        << where << " label " << i;
                    for (size_t j = i + 1; j < labels.size(); ++j) {
                        CRect overlap;
                        EXPECT_FALSE(overlap.IntersectRect(labels[i], labels[j]))
                            << where << ": labels " << i << " and " << j;
                    }
                }
                ++plots;
            }
        }
    }
    EXPECT_GE(plots, 3 * 3 * 2);
}

TEST_F(HostPlot, PngHasTheCurvesInsideTheirPanels) {
    const std::string png = (dir / "s.png").string();
    const ChildResult plotted =
        Host({"plot", kSCurve.string(), "-o", png, "--size", "900x700", "--time-unit", "s"});
    ASSERT_EQ(plotted.exitStatus, 0) << plotted.err;
    QImage image;
    ASSERT_TRUE(image.load(QString::fromStdString(png), "PNG"));
    ASSERT_EQ(image.size(), QSize(900, 700));

    const PreviewPlotLayout layout = SCurveLayout(CSize(900, 700), {});
    int inside[3] = {0, 0, 0};
    int outside = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (!IsCurveColour(image.pixel(x, y))) continue;
            bool found = false;
            for (int i = 0; i < 3; ++i) {
                if (layout.panels[i].PtInRect(CPoint(x, y))) {
                    ++inside[i];
                    found = true;
                }
            }
            outside += !found;
        }
    }
    EXPECT_EQ(outside, 0);
    // Each curve runs across its whole panel.
    for (int i = 0; i < 3; ++i) EXPECT_GE(inside[i], layout.panels[i].Width()) << i;
}

TEST_F(HostPlot, PdfOpensAsAPageOfTheSize) {
    const std::string pdf = (dir / "s.pdf").string();
    const ChildResult plotted = Host({"plot", kSCurve.string(), "-o", pdf, "--size", "800x600"});
    ASSERT_EQ(plotted.exitStatus, 0) << plotted.err;
    EXPECT_TRUE(Contents(pdf).starts_with("%PDF-"));
    if (!HasProgram("pdftoppm")) GTEST_SKIP() << "no pdftoppm";
    const ChildResult rendered =
        RunChild("/usr/bin/env",
                 {"pdftoppm", "-png", "-r", "96", "-singlefile", pdf, (dir / "page").string()});
    ASSERT_EQ(rendered.exitStatus, 0) << rendered.err;
    QImage page;
    ASSERT_TRUE(page.load(QString::fromStdString((dir / "page.png").string())));
    EXPECT_NEAR(page.width(), 800, 2);
    EXPECT_NEAR(page.height(), 600, 2);
    int curve = 0;
    for (int y = 0; y < page.height(); ++y) {
        for (int x = 0; x < page.width(); ++x) curve += IsCurveColour(page.pixel(x, y));
    }
    EXPECT_GT(curve, 3 * 600);
}

TEST_F(HostPlot, RefusalsWriteNothing) {
    struct Case {
        std::vector<std::string> arguments;
        int status;
        std::string error;
    };
    const std::string kept = Put("kept.svg", "old");
    const std::string broken = (kExamples / "broken-one-point.ptm").string();
    const Case cases[] = {
        {{"plot", kSCurve.string(), "-o", (dir / "s.txt").string()},
         2,
         "travex-host: cannot tell the format of " + (dir / "s.txt").string() +
             ": its name must end in .svg, .png or .pdf\n"},
        {{"plot", kSCurve.string(), "-o", kept, "--size", "100x100"},
         2,
         "travex-host: --size \"100x100\" is not WIDTHxHEIGHT in pixels, 200 to 10000 each "
         "(1200x900)\n"},
        {{"plot", kSCurve.string(), "-o", kept, "--size", "199x200"}, 2, ""},
        {{"plot", kSCurve.string(), "-o", kept, "--size", "200x10001"}, 2, ""},
        {{"plot", kSCurve.string(), "-o", kept, "--size", "1200x900x3"}, 2, ""},
        {{"plot", kSCurve.string(), "-o", kept, "--size", "99999999999x900"}, 2, ""},
        {{"plot", broken, "-o", kept}, 1, std::string(kTooFewPoints) + "\n"},
        {{"plot", kSCurve.string(), "-o", kept, "--position-unit", "mm"}, 2, ""},
    };
    for (const Case& c : cases) {
        const ChildResult result = Host(c.arguments);
        EXPECT_EQ(result.exitStatus, c.status) << c.arguments.back() << result.err;
        if (!c.error.empty()) {
            EXPECT_EQ(result.err, c.error);
        }
        EXPECT_EQ(Contents(kept), "old");
    }
    EXPECT_EQ(Entries(), (std::set<std::string>{"kept.svg"}));
    // An upper-case extension is the same format; the sizes at both ends of the range are taken.
    EXPECT_EQ(Host({"plot", kSCurve.string(), "-o", (dir / "S.SVG").string()}).exitStatus, 0);
    EXPECT_TRUE(Contents(dir / "S.SVG").starts_with("<?xml"));
    for (const char* size : {"200x200", "10000x200"}) {
        EXPECT_EQ(
            Host({"plot", kSCurve.string(), "-o", (dir / "edge.png").string(), "--size", size})
                .exitStatus,
            0)
            << size;
    }
}

// The graphics support comes with Qt and is loaded only by the commands that draw or show: a
// travex-host installed without it (and without the Qt driver) still translates, and plot says
// what is missing.
TEST_F(HostPlot, WithoutTheWindowSupportTranslateRunsAndPlotNamesWhatIsMissing) {
    const fs::path built = fs::path(kHost).parent_path();
    for (const char* name : {"travex-host", "Travex.so", "libkinecore.so", "libmfc.so"})
        fs::copy_file(built / name, dir / name);
    const std::string host = (dir / "travex-host").string();
    const std::string program = (dir / "program.txt").string();
    const ChildResult translated = RunChild(host, {"translate", kSCurve.string(), "-o", program});
    EXPECT_EQ(translated.exitStatus, 0) << translated.err;
    EXPECT_EQ(Contents(program), Host({"translate", kSCurve.string()}).out);

    const std::string plot = (dir / "plot.svg").string();
    const ChildResult plotted = RunChild(host, {"plot", kSCurve.string(), "-o", plot});
    EXPECT_EQ(plotted.exitStatus, 2);
    EXPECT_TRUE(plotted.err.starts_with("travex-host: cannot load the graphics support " +
                                        (dir / "libhostgraphics.so").string() + ": "))
        << plotted.err;
    EXPECT_FALSE(fs::exists(plot));
}

TEST_F(HostPlot, EveryExampleOnEverySetupPlotsOrIsRefusedAsInTranslate) {
    std::vector<std::string> setups = {""};
    for (const auto& entry : fs::directory_iterator(kExamples / "setups")) {
        setups.push_back(entry.path().string());
    }
    const std::string svg = (dir / "p.svg").string();
    for (const auto& entry : fs::directory_iterator(kExamples)) {
        if (entry.path().extension() != ".ptm") continue;
        for (const std::string& setup : setups) {
            std::vector<std::string> plot, translate;
            if (!setup.empty()) plot = translate = {"--setup", setup};
            plot.insert(plot.end(), {"plot", entry.path().string(), "-o", svg});
            translate.insert(translate.end(), {"translate", entry.path().string()});
            fs::remove(svg);
            const ChildResult plotted = Host(plot);
            const ChildResult translated = Host(translate);
            const std::string where = entry.path().filename().string() + " on " + setup;
            EXPECT_EQ(plotted.exitStatus, translated.exitStatus) << where << plotted.err;
            EXPECT_EQ(fs::exists(svg), translated.exitStatus == 0) << where;
            if (translated.exitStatus != 0) {
                EXPECT_EQ(plotted.err, translated.err) << where;
            }
        }
    }
}

bool IsProfileColour(QRgb pixel) {
    // The profile's orange, RGB(240, 150, 40), and its antialiased edges.
    return qRed(pixel) > 200 && qGreen(pixel) > 110 && qGreen(pixel) < 190 && qBlue(pixel) < 110;
}

// The profile's curves under the table's in the first three panels, and the deviation in a
// fourth, as SVG (panels and texts) and as PNG (where each colour lies).
TEST_F(HostPlot, ProfileUnderTheTableAndItsDeviationBelow) {
    if (!HasProgram("python3")) GTEST_SKIP() << "no python3";
    const std::vector<std::string> arguments = {
        "plot",
        (kExamples / "cycloid-10rot-20ms.ptm").string(),
        "--profile",
        (kExamples / "profiles" / "cycloidal-10rot.txt").string(),
        "--position-unit",
        "IU",
        "--time-unit",
        "ms",
        "--size",
        "1000x900",
        "-o"};
    std::vector<std::string> svgPlot = arguments, pngPlot = arguments;
    const std::string svg = (dir / "p.svg").string(), png = (dir / "p.png").string();
    svgPlot.push_back(svg);
    pngPlot.push_back(png);
    for (const auto& plot : {svgPlot, pngPlot}) {
        const ChildResult plotted = Host(plot);
        ASSERT_EQ(plotted.exitStatus, 0) << plotted.err;
        EXPECT_EQ(plotted.err, "");
    }
    const SvgContents read = ReadSvg(svg);
    ASSERT_EQ(read.panels.size(), 4u) << read.all;
    EXPECT_GT(read.panels[3].top, read.panels[2].bottom);
    EXPECT_EQ(read.panels[3].Width(), read.panels[0].Width());
    for (const char* text : {"Deviation from the profile [IU]", "largest 1.53695 IU at 486.08 ms",
                             "table", "profile", "Time [ms]"}) {
        EXPECT_EQ(read.texts.count(text), 1u) << text << "\n" << read.all;
    }

    QImage image;
    ASSERT_TRUE(image.load(QString::fromStdString(png), "PNG"));
    int profile[4] = {0, 0, 0, 0}, curve[4] = {0, 0, 0, 0};
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = image.pixel(x, y);
            int panel = -1;
            for (int i = 0; i < 4; ++i) {
                if (read.panels[static_cast<size_t>(i)].PtInRect(CPoint(x, y))) panel = i;
            }
            if (IsProfileColour(pixel)) {
                if (panel >= 0) {
                    ++profile[panel];
                } else {
                    // Outside the panels only the legend's swatch, above the first panel.
                    EXPECT_LT(y, read.panels[0].top) << x << "," << y;
                    EXPECT_GT(x, read.panels[0].CenterPoint().x) << x << "," << y;
                }
            }
            if (panel >= 0 && IsCurveColour(pixel)) ++curve[panel];
        }
    }
    // The profile shows beside the table's thinner line across each of the three panels, and
    // is not in the deviation's.
    for (int i = 0; i < 3; ++i) EXPECT_GE(profile[i], read.panels[0].Width()) << i;
    EXPECT_EQ(profile[3], 0);
    EXPECT_GE(curve[3], read.panels[3].Width());
}

// Jerk and profile together: five panels in order, the deviation's largest value marked, and
// no two labels covering each other at any size.
TEST_F(HostPlot, JerkAndProfileMakeFivePanelsWithLabelsApart) {
    auto setup = CDriveSetup::CreateDefault();
    PtTable table;
    ASSERT_STREQ(
        ReadPtTable(Contents(kExamples / "cycloid-10rot-20ms.ptm"), *setup, table).GetString(), "");
    TrajectoryPreview preview;
    std::string error;
    ASSERT_TRUE(preview.Build(table.times, table.positions, error)) << error;
    const MotionFigures figures = MotionFigures::Of(preview);
    MotionProfile profile;
    ASSERT_TRUE(ReadMotionProfile((kExamples / "profiles" / "cycloidal-10rot.txt").string(), *setup,
                                  profile, error))
        << error;
    MotionLimits limits;
    limits.maxSpeed = 0.9 * figures.peakSpeed.value;
    limits.maxAcceleration = 0.9 * figures.peakAcceleration.value;
    limits.maxJerk = 0.5 * figures.peakJerk.value;
    PreviewPlotContent content{&preview,
                               &figures,
                               {table.positionUnit, table.timeUnit},
                               limits,
                               "cycloid-10rot-20ms.ptm against cycloidal-10rot.txt",
                               true,
                               &profile,
                               LargestDeviation(preview, profile)};
    for (const CSize size : {CSize(1200, 1100), CSize(800, 700), CSize(500, 450)}) {
        const std::string where = std::to_string(size.cx) + "x" + std::to_string(size.cy);
        const DrawnPlot drawn = Draw(content, size);
        ASSERT_EQ(drawn.layout.count, 5) << where;
        for (int i = 1; i < 5; ++i) {
            EXPECT_GT(drawn.layout.panels[i].top, drawn.layout.panels[i - 1].bottom) << where;
            EXPECT_EQ(drawn.layout.panels[i].Width(), drawn.layout.panels[0].Width()) << where;
        }
        // Speed, acceleration, jerk, and the deviation's largest value in the last panel.
        ASSERT_EQ(drawn.marks.peaks.size(), 4u) << where;
        for (size_t i = 0; i < 4; ++i) {
            EXPECT_TRUE(drawn.layout.panels[i + 1].PtInRect(drawn.marks.peaks[i])) << where << i;
        }
        const std::vector<CRect>& labels = drawn.marks.labels;
        // Title, five panel titles, the time axis, three peaks and the deviation's mark at least.
        EXPECT_GE(labels.size(), 11u) << where;
        for (size_t i = 0; i < labels.size(); ++i) {
            for (size_t j = i + 1; j < labels.size(); ++j) {
                CRect overlap;
                EXPECT_FALSE(overlap.IntersectRect(labels[i], labels[j]))
                    << where << ": labels " << i << " and " << j;
            }
        }
    }
}

}  // namespace
}  // namespace host_test
