#include "protocol/receiver.h"

#include <QtTest>

class TestReceiver : public QObject {
    Q_OBJECT
  private slots:
    // frames: each frame handed on, with its CR; left: the buffer after the last chunk.
    void arrivals_data() {
        QTest::addColumn<QStringList>("chunks");
        QTest::addColumn<QStringList>("frames");
        QTest::addColumn<QString>("left");
        auto row = [](const char* name, QStringList chunks, QStringList frames, QString left) {
            QTest::newRow(name) << chunks << frames << left;
        };
        row("split everywhere", {"!", "0", "0", "1", "3", "a", "\r"}, {"!0013a\r"}, "");
        row("incomplete trailing frame stays", {"!0013a\r!0010S"}, {"!0013a\r"}, "!0010S");
        row("older start dropped", {"!00!0010"}, {}, "!0010");
        // A CR right after a later "!" ends a frame, so the earlier "!" is kept.
        row("buffer ends in second start", {"!abc!", "\r"}, {"!\r"}, "");
        // The longest frame before its CR, and one past it.
        const QString longest = "!00FE" + QString(protocol::kMaxPendingFrame - 5, '5');
        row("longest, cr alone", {longest, "\r"}, {longest + "\r"}, "");
        row("too long, one arrival", {longest + "5\r"}, {}, "");
        row("too long is given up before its cr", {longest + "5"}, {}, "");
        // A reset in a long garbled frame: the new frame outlives the old one.
        row("fresh start after a dropped frame",
            {"!" + QString(4000, 'a'), QString(200, 'a') + "!", "0013a\r"}, {"!0013a\r"}, "");
    }
    void arrivals() {
        QFETCH(QStringList, chunks);
        QFETCH(QStringList, frames);
        QFETCH(QString, left);
        protocol::Receiver receiver;
        QStringList seen;
        for (const auto& chunk : chunks)
            receiver.receiveFrames(chunk.toStdString(), [&](std::string_view frame) {
                seen << QString::fromStdString(std::string(frame));
            });
        QCOMPARE(seen, frames);
        QCOMPARE(QString::fromStdString(receiver.rxbuffer()), left);
    }
};

QTEST_APPLESS_MAIN(TestReceiver)
#include "tst_receiver.moc"
