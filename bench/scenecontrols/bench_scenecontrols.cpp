// Painting and scrolling of the scene image tree with a full thumbnail cache, and the walks a
// very large tree costs. Thumbnails come from the 1080p benchmark video
// ($KIVO_FIXTURES/bench-1080p.mp4, made by tools/make-fixtures.sh --bench).
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QScrollBar>
#include <cstdlib>
#include <memory>
#include <string>

#include "media/grabber/videomanager.h"
#include "scenecontrols/sceneimagetree.h"
#include "uisupport/skin.h"

namespace {

constexpr QSize kPanel(320, 720);

std::string benchVideo() {
    const char *folder = std::getenv("KIVO_FIXTURES");
    return std::string(folder ? folder : ".") + "/bench-1080p.mp4";
}

// chapters x (scenes + 1) nodes below the root, all expanded, every frame below 500 so that
// one full cache holds the picture of every cell.
void buildTree(CVideoDescription &description, int chapters, int scenes) {
    CSceneNode &root = description.root();
    root.clearChildren();
    root.setExpanded(1);
    for (int c = 0; c < chapters; ++c) {
        CSceneNode *chapter = root.addChild(c % 100);
        if (!chapter) {
            chapter = root.addChild(1000.0 + c);
        }
        chapter->setExpanded(1);
        for (int s = 0; s < scenes; ++s) {
            chapter->addChild(100 + (c + 4 * s) % 400);
        }
    }
}

// One tree control on the benchmark video with all 500 thumbnails made, shared by the cases.
class CPaintedTree {
public:
    static CPaintedTree &instance() {
        static CPaintedTree tree;
        return tree;
    }

    bool ready() const { return m_ready; }
    CSceneImageTree &control() { return m_control; }
    CVideoDescription &description() { return m_description; }

private:
    CPaintedTree() {
        m_control.loadBitmaps(250, 249, 456, 455, kivo::skin::kTransparentColor);
        m_control.setThumbnailRect(3, 3, 35, 18);
        m_control.setSizeRate(1.0f);
        m_control.resize(kPanel);
        if (!m_video.open(benchVideo())) {
            return;
        }
        m_control.attach(&m_description, &m_video);
        for (int frame = 0; frame < 500; ++frame) {
            if (!m_control.thumbnail(frame)) {
                return;
            }
        }
        m_ready = true;
    }

    CVideoManager m_video;
    CVideoDescription m_description;
    CSceneImageTree m_control;
    bool m_ready = false;
};

void paintOnce(CSceneImageTree &tree, QImage &target) {
    QPainter painter(&target);
    tree.paintScene(painter, target.rect());
}

// One paint of a 10,000-node tree at the top, the middle and the end of its scroll range.
void BM_PaintTree10k(benchmark::State &state) {
    CPaintedTree &shared = CPaintedTree::instance();
    if (!shared.ready()) {
        state.SkipWithError("bench-1080p.mp4 missing: run tools/make-fixtures.sh --bench");
        return;
    }
    buildTree(shared.description(), 100, 99);
    CSceneImageTree &tree = shared.control();
    tree.relayout();
    QScrollBar *bar = tree.verticalBar();
    bar->setValue(bar->maximum() * static_cast<int>(state.range(0)) / 2);
    QImage target(kPanel, QImage::Format_RGB32);
    for (auto _ : state) {
        paintOnce(tree, target);
        benchmark::DoNotOptimize(target.constBits());
    }
    state.counters["cached"] = static_cast<double>(tree.thumbnailCache()->size());
}
BENCHMARK(BM_PaintTree10k)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

// Scrolling: each step moves the tree by one cell height and paints it.
void BM_ScrollTree10k(benchmark::State &state) {
    CPaintedTree &shared = CPaintedTree::instance();
    if (!shared.ready()) {
        state.SkipWithError("bench-1080p.mp4 missing: run tools/make-fixtures.sh --bench");
        return;
    }
    buildTree(shared.description(), 100, 99);
    CSceneImageTree &tree = shared.control();
    tree.relayout();
    QScrollBar *bar = tree.verticalBar();
    QImage target(kPanel, QImage::Format_RGB32);
    int step = 0;
    for (auto _ : state) {
        bar->setValue((step++ * 7) % (bar->maximum() + 1));
        paintOnce(tree, target);
    }
}
BENCHMARK(BM_ScrollTree10k)->Unit(benchmark::kMillisecond);

// What one more scene costs the segmentation tool's display: relayout and scroll to the end.
void BM_RelayoutAndScrollToEnd(benchmark::State &state) {
    CPaintedTree &shared = CPaintedTree::instance();
    const int nodes = static_cast<int>(state.range(0));
    buildTree(shared.description(), nodes / 100, 99);
    CSceneImageTree &tree = shared.control();
    for (auto _ : state) {
        tree.relayout();
        tree.scrollToRow(-1);
    }
}
BENCHMARK(BM_RelayoutAndScrollToEnd)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

// A paint and a hit test at the very end of a 100,000-node tree.
void BM_PaintAndHitTest100k(benchmark::State &state) {
    CPaintedTree &shared = CPaintedTree::instance();
    if (!shared.ready()) {
        state.SkipWithError("bench-1080p.mp4 missing: run tools/make-fixtures.sh --bench");
        return;
    }
    buildTree(shared.description(), 1000, 99);
    CSceneImageTree &tree = shared.control();
    tree.relayout();
    tree.scrollToRow(-1);
    QImage target(kPanel, QImage::Format_RGB32);
    for (auto _ : state) {
        paintOnce(tree, target);
        benchmark::DoNotOptimize(tree.hitTest(QPoint(100, kPanel.height() - 30)));
    }
}
BENCHMARK(BM_PaintAndHitTest100k)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char **argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
