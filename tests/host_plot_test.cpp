// travex-host plot, run as a separate process: the SVG read as XML, the PNG looked at pixel by
// pixel, the PDF opened by poppler, and what is refused.
#include <DrawingFile.h>
#include <MotionFigures.h>
#include <PointTable.h>
#include <PreviewPlot.h>

#include <QColor>
#include <QImage>
#include <cstdlib>
#include <string>
#include <vector>

#include "host_scratch_folder.h"

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
PreviewPlotLayout SCurveLayout(CSize size, const CMC_DriveLimits& limits) {
    auto setup = CMC_Setup::CreateDefault();
    PointTable table;
    EXPECT_STREQ(ReadPointTable(Contents(kSCurve), *setup, table).GetString(), "");
    CTrajectoryPreview preview;
    std::string error;
    EXPECT_TRUE(preview.Build(table.times, table.positions, error));
    const MotionFigures figures = MotionFigures::Of(preview);
    PreviewPlotContent content{&preview,
                               &figures,
                               {{"rot", 2000}, {"s", 1250}},
                               limits,
                               "s-curve-10rot.ptm on Rotary drive, 500-line encoder"};
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

// Python's XML parser lists the plot areas (the rectangles in the graph's background colour)
// and every text.
TEST_F(HostPlot, SvgParsesAsXmlWithThreePanelsOnOneTimeAxis) {
    if (!HasProgram("python3")) GTEST_SKIP() << "no python3";
    const std::string svg = (dir / "s.svg").string();
    const ChildResult plotted =
        Host({"plot", kSCurve.string(), "-o", svg, "--time-unit", "s", "--max-speed", "45 rot/s"});
    ASSERT_EQ(plotted.exitStatus, 0) << plotted.err;
    EXPECT_EQ(plotted.out, "");
    EXPECT_EQ(plotted.err, "");
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
    ASSERT_EQ(read.exitStatus, 0) << read.err;

    std::vector<CRect> panels;
    std::multiset<std::string> texts;
    std::istringstream lines(read.out);
    for (std::string line; std::getline(lines, line);) {
        if (line.starts_with("panel ")) {
            std::istringstream numbers(line.substr(6));
            int x = 0, y = 0, width = 0, height = 0;
            numbers >> x >> y >> width >> height;
            panels.emplace_back(x, y, x + width, y + height);
        } else if (line.starts_with("text ")) {
            texts.insert(line.substr(5));
        } else {
            EXPECT_EQ(line, "size 0 0 1200 900");
        }
    }
    CMC_DriveLimits limits;
    limits.maxSpeed = 45 * 2000 / 1250.0;
    const PreviewPlotLayout layout = SCurveLayout(CSize(1200, 900), limits);
    ASSERT_EQ(panels.size(), 3u) << read.out;
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(panels[static_cast<size_t>(i)], layout.panels[i]) << i;
        // One time axis: the panels stand one above the other, equally wide.
        EXPECT_EQ(panels[static_cast<size_t>(i)].left, panels[0].left);
        EXPECT_EQ(panels[static_cast<size_t>(i)].right, panels[0].right);
        if (i > 0) {
            EXPECT_GT(panels[static_cast<size_t>(i)].top, panels[i - 1u].bottom);
        }
    }
    for (const char* title :
         {"Position [rot]", "Speed [rot/s]", "Acceleration [rot/s\u00B2]", "Time [s]",
          "limit 45 rot/s", "peak 40.8375 rot/s at 0.245 s", "peak 275 rot/s\u00B2 at 0.12 s"}) {
        EXPECT_EQ(texts.count(title), 1u) << title << "\n" << read.out;
    }
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

// The window support comes with Qt and is loaded only by the commands that draw or show: a
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
    EXPECT_TRUE(plotted.err.starts_with("travex-host: cannot load the window support " +
                                        (dir / "libhostwindows.so").string() + ": "))
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

}  // namespace
}  // namespace host_test
