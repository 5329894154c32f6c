// A long run of the window against the simulator at line rate, alternating
// floods of interrupt reports with line noise; samples the window's CPU share
// and memory every 10 s, and draws them.
// Usage: soak SECONDS OUT   (writes OUT.csv and OUT.png; prints a table)
#include "processstats.h"
#include "protocol/frames.h"
#include "simwindow.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int kSampleSeconds = 10;
constexpr int kPhaseSeconds = 30; // a flood, then noise, in turn
// Enough of each to fill a phase at line rate: a report is 7 characters.
constexpr int kFloodReports = kPhaseSeconds * protocol::kCharactersPerSecond / 7;
constexpr int kNoiseCharacters = kPhaseSeconds * protocol::kCharactersPerSecond;

struct Sample {
    int second;
    double cpu; // % of one core over the last interval
    double rss; // MB
};

void plot(const std::vector<Sample>& samples, const QString& path) {
    const int w = 720, h = 300, left = 50, right = 50, top = 30, bottom = 40;
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(11);
    p.setFont(font);
    const double last = samples.empty() ? 1 : std::max(1, samples.back().second);
    const double cpuTop = 10; // % of one core
    double rssTop = 10;
    for (const auto& s : samples)
        rssTop = std::max(rssTop, s.rss * 1.2);
    const QRectF area(left, top, w - left - right, h - top - bottom);
    p.setPen(QColor(200, 200, 200));
    for (int i = 0; i <= 5; ++i) {
        const double y = area.bottom() - area.height() * i / 5;
        p.drawLine(QPointF(area.left(), y), QPointF(area.right(), y));
    }
    p.setPen(Qt::black);
    p.drawRect(area);
    for (int i = 0; i <= 5; ++i) {
        const double y = area.bottom() - area.height() * i / 5;
        p.setPen(QColor(200, 0, 0));
        p.drawText(QRectF(0, y - 7, left - 6, 14), Qt::AlignRight, QString::number(cpuTop * i / 5));
        p.setPen(QColor(0, 0, 200));
        p.drawText(QRectF(area.right() + 6, y - 7, right, 14), Qt::AlignLeft,
                   QString::number(rssTop * i / 5, 'f', 0));
    }
    p.setPen(Qt::black);
    for (int i = 0; i <= 6; ++i) {
        const double x = area.left() + area.width() * i / 6;
        p.drawText(QRectF(x - 30, area.bottom() + 4, 60, 14), Qt::AlignHCenter,
                   QStringLiteral("%1 min").arg(last * i / 6 / 60, 0, 'f', 0));
    }
    auto line = [&](auto value, double scale, QColor colour) {
        QPainterPath path;
        for (std::size_t i = 0; i < samples.size(); ++i) {
            const QPointF point(area.left() + area.width() * samples[i].second / last,
                                area.bottom() -
                                    area.height() * std::min(value(samples[i]), scale) / scale);
            i == 0 ? path.moveTo(point) : path.lineTo(point);
        }
        p.setPen(QPen(colour, 1.5));
        p.drawPath(path);
    };
    line([](const Sample& s) { return s.cpu; }, cpuTop, QColor(200, 0, 0));
    line([](const Sample& s) { return s.rss; }, rssTop, QColor(0, 0, 200));
    p.setPen(QColor(200, 0, 0));
    p.drawText(QPointF(left, 18), QStringLiteral("CPU, % of one core (left)"));
    p.setPen(QColor(0, 0, 200));
    p.drawText(QPointF(w / 2.0, 18), QStringLiteral("resident memory, MB (right)"));
    image.save(path);
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: soak SECONDS OUT\n");
        return 2;
    }
    const int seconds = std::max(kSampleSeconds, std::atoi(argv[1]));
    const QString out = QString::fromLocal8Bit(argv[2]);
    SimWindow rig;
    if (!rig.start({"--line-rate"})) return 1;
    rig.window->show();
    if (!QTest::qWaitForWindowExposed(rig.window.get())) return 1;
    rig.choose("portselect", 8);
    for (int i = 0; i < 100 && rig.view().isEmpty(); ++i)
        QTest::qWait(50);

    std::vector<Sample> samples;
    QFile csv(out + ".csv");
    if (!csv.open(QIODevice::WriteOnly)) return 1;
    csv.write("second,cpu_percent,rss_mb\n");
    QElapsedTimer clock;
    clock.start();
    double cpu = cpuSeconds();
    for (int phase = 0; phase * kPhaseSeconds < seconds; ++phase) {
        rig.sim.command(phase % 2 ? QByteArray("noise ") + QByteArray::number(kNoiseCharacters)
                                  : QByteArray("flood ") + QByteArray::number(kFloodReports));
        const int end = std::min(seconds, (phase + 1) * kPhaseSeconds);
        for (int s = phase * kPhaseSeconds + kSampleSeconds; s <= end; s += kSampleSeconds) {
            QTest::qWait(int(s * 1000 - clock.elapsed()));
            const double now = cpuSeconds();
            samples.push_back({s, 100 * (now - cpu) / kSampleSeconds, residentMb()});
            cpu = now;
            csv.write(QStringLiteral("%1,%2,%3\n")
                          .arg(s)
                          .arg(samples.back().cpu, 0, 'f', 2)
                          .arg(samples.back().rss, 0, 'f', 1)
                          .toUtf8());
            csv.flush();
        }
    }
    plot(samples, out + ".png");

    double mean = 0;
    for (const auto& s : samples)
        mean += s.cpu;
    mean /= double(samples.size());
    const auto highest = [&](auto field) {
        return *std::max_element(samples.begin(), samples.end(),
                                 [&](auto& a, auto& b) { return field(a) < field(b); });
    };
    const Sample topCpu = highest([](const Sample& s) { return s.cpu; });
    const Sample topRss = highest([](const Sample& s) { return s.rss; });
    std::printf("| measure | first | highest | last |\n|---|---|---|---|\n");
    std::printf("| CPU, %% of one core | %.1f | %.1f (%d s) | %.1f |\n", samples.front().cpu,
                topCpu.cpu, topCpu.second, samples.back().cpu);
    std::printf("| resident memory, MB | %.1f | %.1f (%d s) | %.1f |\n", samples.front().rss,
                topRss.rss, topRss.second, samples.back().rss);
    std::printf("\nmean CPU %.2f %% of one core over %d s; peak memory %.1f MB; alerts: %lld%s\n",
                mean, samples.back().second, peakMb(), (long long)rig.alerts.size(),
                rig.alerts.isEmpty() ? "" : qPrintable(" (" + rig.alerts.join("; ") + ")"));
    return rig.alerts.isEmpty() ? 0 : 1;
}
