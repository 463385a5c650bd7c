// Speed of the rendering work the tick and the fade repeat: turning a hand,
// building a window outline, and one glass paint in fallback mode.
#include "GlassRenderer.h"
#include "MaskRegion.h"
#include "OrganicShapeGlassForm.h"
#include "RotImg.h"

#include <QApplication>
#include <QRandomGenerator>
#include <benchmark/benchmark.h>

#include <cmath>

namespace {

QImage handPicture()
{
    QImage img(60, 300, QImage::Format_RGB32);
    img.fill(Qt::white);
    for (int y = 0; y < 300; ++y)
        for (int x = 20; x < 40; ++x)
            img.setPixel(x, y, qRgb(20 + y / 3, 30, 40));
    return img;
}

void BM_RotateHand(benchmark::State &state)
{
    const QImage hand = handPicture();
    double angle = 0;
    for (auto _ : state) {
        angle += 6.1;
        benchmark::DoNotOptimize(rotateBitmap(hand, clWhite, angle));
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_RotateHand)->Unit(benchmark::kMicrosecond);

// A transparent hand control turned as the tick turns it. Arg 0: a new
// angle every time, so every turn is made; arg 1: the second hand's 60
// angles over and over, so after the first minute every turn is a kept one.
void BM_TurnTransparentHand(benchmark::State &state)
{
    TRotateImage hand;
    hand.setKeepTurns(true);
    hand.setCenter(true);
    hand.setTransparent(true);
    hand.setPicture(handPicture());
    const bool seconds = state.range(0) == 1;
    long long step = 0;
    for (auto _ : state) {
        ++step;
        hand.setAngle(seconds ? 360 - 6 * (step % 60) : 0.1L * step);
    }
    state.counters["kept_bytes"] = double(hand.keptTurns().bytes());
}
BENCHMARK(BM_TurnTransparentHand)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// A clock-like silhouette with ragged edges as JPEG coding leaves them:
// near-magenta stray pixels along the border, a few holes inside.
QImage raggedMask(int w, int h)
{
    QRandomGenerator rng(11);
    QImage img(w, h, QImage::Format_RGB32);
    const double cx = w / 2.0, cy = h / 2.0;
    for (int y = 0; y < h; ++y) {
        QRgb *row = reinterpret_cast<QRgb *>(img.scanLine(y));
        for (int x = 0; x < w; ++x) {
            const double d = std::hypot((x - cx) / cx, (y - cy) / cy) - 0.9 + (rng.bounded(8) - 4) / double(w);
            const bool hole = ((x / (w / 10)) + (y / (h / 10))) % 7 == 0 && d < -0.3;
            if (d < 0 && !hole)
                row[x] = qRgb(90, 60, 30);
            else if (std::fabs(d) < 0.01 && rng.bounded(2))
                row[x] = qRgb(254, 1, 255);
            else
                row[x] = qRgb(255, 0, 255);
        }
    }
    return img;
}

void BM_MaskRegion(benchmark::State &state)
{
    const int w = int(state.range(0)), h = int(state.range(1));
    TSpeedBitmap mask;
    mask.assign(raggedMask(w, h));
    int rects = 0;
    for (auto _ : state) {
        const QRegion r = maskRegion(mask, clMagenta);
        rects = r.rectCount();
        benchmark::DoNotOptimize(rects);
    }
    state.counters["rects"] = rects;
    state.counters["ns_per_pixel"] = benchmark::Counter(double(state.iterations()) * w * h,
                                                        benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_MaskRegion)->Args({300, 400})->Args({600, 800})->Args({1200, 1600})->Unit(benchmark::kMillisecond);

QImage skinPicture()
{
    QImage img = raggedMask(300, 400);
    for (int y = 0; y < 400; y += 3)
        for (int x = 0; x < 300; ++x)
            if (img.pixel(x, y) != qRgb(255, 0, 255))
                img.setPixel(x, y, qRgb(x % 256, 200, y % 256));
    return img;
}

// One paint of a 300 x 400 glass window in fallback mode: the widget's own
// paint (render of the skin against the screenshot, then drawing it).
void glassPaint(benchmark::State &state, int hue, bool fadeStep)
{
    TOrganicShapeGlassForm form(TOrganicShapeGlassForm::GlassMode::Fallback);
    form.skin().assign(skinPicture());
    QImage screen(1280, 1024, QImage::Format_RGB32);
    screen.fill(qRgb(30, 90, 160));
    form.backgroundBitmap().assign(screen);
    form.setTransparency(50);
    form.setHue(hue);
    form.move(100, 100);
    QImage canvas(300, 400, QImage::Format_RGB32);
    form.render(&canvas); // the first paint after a hue change turns the hue once
    int level = 50;
    for (auto _ : state) {
        if (fadeStep)
            form.setTransparency(level = (level == 50 ? 49 : 50));
        form.render(&canvas, QPoint(), QRegion(), QWidget::RenderFlags());
        benchmark::DoNotOptimize(canvas.bits());
    }
    state.counters["hue_turns"] = form.renderer().hueComputations();
}

void BM_GlassPaint(benchmark::State &state) { glassPaint(state, int(state.range(0)), false); }
BENCHMARK(BM_GlassPaint)->Arg(0)->Arg(120)->Unit(benchmark::kMicrosecond);

void BM_GlassFadeStep(benchmark::State &state) { glassPaint(state, int(state.range(0)), true); }
BENCHMARK(BM_GlassFadeStep)->Arg(0)->Arg(120)->Unit(benchmark::kMicrosecond);

// The blend pass alone, and the one-off hue turn a change of hue or skin costs.
void BM_GlassBlendPass(benchmark::State &state)
{
    TSpeedBitmap skin, bg, glass;
    skin.assign(skinPicture());
    QImage screen(1280, 1024, QImage::Format_RGB32);
    screen.fill(qRgb(30, 90, 160));
    bg.assign(screen);
    GlassRenderer r;
    r.tables().calculate(0.5, 1, 1, 1);
    GlassRenderer::Blend blend{&bg, 100, 100, 0, 0};
    for (auto _ : state)
        r.render(glass, skin, 1, int(state.range(0)), &blend);
}
BENCHMARK(BM_GlassBlendPass)->Arg(0)->Arg(120)->Unit(benchmark::kMicrosecond);

void BM_HueTurn(benchmark::State &state)
{
    TSpeedBitmap skin;
    skin.assign(skinPicture());
    GlassRenderer r;
    int hue = 1;
    for (auto _ : state) {
        hue = hue % 360 + 1;
        benchmark::DoNotOptimize(&r.hueShifted(skin, 1, hue));
    }
}
BENCHMARK(BM_HueTurn)->Unit(benchmark::kMillisecond);

void BM_CalculateTables(benchmark::State &state)
{
    GlassTables t;
    double a = 0.5;
    for (auto _ : state) {
        a = a == 0.5 ? 0.49 : 0.5;
        t.calculate(a, 1, 1, 1);
    }
}
BENCHMARK(BM_CalculateTables)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
