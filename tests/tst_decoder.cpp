#include "protocol/decoder.h"

#include <QtTest>

class TestDecoder : public QObject {
    Q_OBJECT
  private slots:
    // frame is given without its CR; text is what is appended to the view.
    void decode_data() {
        QTest::addColumn<QByteArray>("frame");
        QTest::addColumn<bool>("clears");
        QTest::addColumn<QByteArray>("text");
        auto row = [](const char* name, const QByteArray& frame, bool clears,
                      const QByteArray& text) { QTest::newRow(name) << frame << clears << text; };
        row("tamb", "!000001530003", true,
            "[Firmware Version:]\r\n[0153.00.03       ]\r\n[Tamb master only ]\r\n\r\n");
        row("tolk", "!000001530107", true,
            "[Firmware Version:]\r\n[0153.01.07       ]\r\n[Tolk master+slave]\r\n\r\n");
        row("unknown model", "!000001530203", true,
            "[Firmware Version:]\r\n[0153.02.03       ]\r\n");
        row("unrecognized", "!000001230105", true,
            "[Firmware Version:]\r\n[0123.01.05       ]\r\n[Unrecognized H/W ]\r\n\r\n");
        row("short version", "!0000", true,
            "[Firmware Version:]\r\n[\r..       ]\r\n[Unrecognized H/W ]\r\n\r\n");
        row("slave ok", "!00FFa", false, "[Slave mode enabled...]\r\n[...Power cycle=Cancel]\r\n");
        row("slave ok upper", "!00FFA", false,
            "[Slave mode enabled...]\r\n[...Power cycle=Cancel]\r\n");
        row("slave 7F", "!007Fa", false, "[Slave mode enabled...]\r\n[...Power cycle=Cancel]\r\n");
        row("slave refused", "!00FF?", false, "[Slave not supported!]\r\n");
        row("slave nack", "!00FFn", false, "[Slave not supported!]\r\n");
        row("FE data", "!00FE5A", false, "5A\r\n");
        row("7E data", "!007E0", false, "0\r\r\n");
        row("store ok", "!0011a", false, "[Store last success!]\r\n");
        row("store empty", "!0011e", false, "[No command to store]\r\n");
        row("store empty upper", "!0011E", false, "[No command to store]\r\n");
        row("replay ok", "!0012a", false, "[Replay Successful  ]\r\n");
        row("replay empty", "!0012e", false, "[Replay Memory Empty]\r\n");
        row("edge hl", "!0013a", false, "[Edge = High-to-Low ]\r\n");
        row("edge hl nack", "!0013n", false, "[Edge = High-to-Low ]\r\n");
        row("edge lh", "!0014a", false, "[Edge = Low-to-High ]\r\n");
        row("trigger on", "!0015a", false, "[Edge trigger = On  ]\r\n");
        row("trigger off", "!0016a", false, "[Edge trigger = Off ]\r\n");
        row("slow", "!0017a", false, "[Speed set Slow=100k]\r\n");
        row("fast", "!0018a", false, "[Speed set Fast=400k]\r\n");
        row("config", "!00192500010", false,
            "[VSlave:  2.500v  ]\r\n[Speed:   Slow    ]\r\n[OnEdge:  On      ]\r\n[Edge:    "
            "Hi-to-Lo]\r\n");
        row("config other flags", "!00195000101", false,
            "[VSlave:  5.000v  ]\r\n[Speed:   Fast    ]\r\n[OnEdge:  Off     ]\r\n[Edge:    "
            "Lo-to-Hi]\r\n");
        row("config non-digit flags", "!00193300x-", false,
            "[VSlave:  3.300v  ]\r\n[Speed:   Slow    ]\r\n[OnEdge:  Off     ]\r\n[Edge:    "
            "Hi-to-Lo]\r\n");
        row("config digit 9", "!00193300999", false,
            "[VSlave:  3.300v  ]\r\n[Speed:   Fast    ]\r\n[OnEdge:  On      ]\r\n[Edge:    "
            "Lo-to-Hi]\r\n");
        row("power up", "!001A08", false, "[Reset:   Power up]\r\n\r\n");
        row("power up other bits", "!001AFF", false, "[Reset:   Power up]\r\n\r\n");
        row("watchdog", "!001A00", false, "[Reset:   WDT Rset]\r\n\r\n");
        row("watchdog f7", "!001Af7", false, "[Reset:   WDT Rset]\r\n\r\n");
        row("interrupt low", "!00200", false, "[Int]\t0\r\n");
        row("interrupt high", "!00201", false, "[Int]\t1\r\n");
        row("unknown code", "!0042abc", false, "");
        row("other unit address", "!0513a", false, "[Edge = High-to-Low ]\r\n");
        row("lower-case code", "!001a08", false, "[Reset:   Power up]\r\n\r\n");
        row("lower-case slave code", "!00ffa", false,
            "[Slave mode enabled...]\r\n[...Power cycle=Cancel]\r\n");
        row("script empty", "!0010", true, "");
        row("script example", "!0010SW90aR1AnP", true,
            "START\r\nWRITE\t0x90\tAck\r\nREAD\t0x1A\tNack\r\nSTOP\r\n");
        row("lower letters", "!0010sw90AP", true, "START\r\nWRITE\t0x90\tAck\r\nSTOP\r\n");
        row("write nack", "!0010W91N", true, "WRITE\t0x91\tNack\r\n");
        row("read ack", "!0010rFFa", true, "READ\t0xFF\tAck\r\n");
        row("open write line", "!0010W90xP", true, "WRITE\t0x90\tSTOP\r\n");
        row("speed answer s0", "!0010s0", true, "[Speed=SLOW]\r\n");
        row("speed answer s1", "!0010s1", true, "[Speed=FAST]\r\n");
        row("capital S is start", "!0010S0", true, "START\r\n[Speed=SLOW]\r\n");
        row("s then other", "!0010s2x", true, "START\r\n");
        row("lone speeds", "!001001", true, "[Speed=SLOW]\r\n[Speed=FAST]\r\n");
        row("bad token", "!0010?76", true, "BadToken:\t0x76\r\n");
        row("outputs", "!001020213031404150512x", true,
            "GP0\tLow\r\nGP0\tHigh\r\nGP1\tLow\r\nGP1\tHigh\r\n"
            "GP2\tLow\r\nGP2\tHigh\r\nGP3\tLow\r\nGP3\tHigh\r\n");
        row("interrupt pin", "!0010606162", true, "Int\tLow\r\nInt\tHigh\r\n");
        row("supply", "!0010707172737475767x", true,
            "SetV\tOpen\r\nSetV\t2.5\r\nSetV\t3.0\r\nSetV\t3.5\r\nSetV\t4.0\r\nSetV\t5.0\r\n");
        row("bit bang", "!00108081828384", true, "SCL0\r\nSCL1\r\nSDA0\r\nSDA1\r\n");
        row("line reads", "!00109091929394", true, "SCL:\t0\r\nSCL:\t1\r\nSDA:\t0\r\nSDA:\t1\r\n");
        row("delays", "!0010D0Ad1F", true, "Delay\t0x0A uS\r\nDelay\t0x1F mS\r\n");
        row("unknown letters skipped", "!0010xyzP", true, "STOP\r\n");
        row("token cut by cr", "!0010W9", true, "WRITE\t0x9\r\t");
        row("delay cut by cr", "!0010D", true, "Delay\t0x\r uS\r\n");
        row("bad token cut", "!0010?", true, "BadToken:\t0x\r\r\n");
    }
    void decode() {
        QFETCH(QByteArray, frame);
        QFETCH(bool, clears);
        QFETCH(QByteArray, text);
        auto effect = protocol::decodeFrame((frame + "\r").toStdString());
        QCOMPARE(effect.clearView, clears);
        QCOMPARE(QByteArray::fromStdString(effect.append), text);
        QCOMPARE(QByteArray::fromStdString(effect.rxbufferbox), frame + "[cr]");
    }

    void applyToView() {
        std::string view = "old\r\n";
        protocol::applyToView(view, protocol::decodeFrame("!0013a\r"));
        QCOMPARE(view, std::string("old\r\n[Edge = High-to-Low ]\r\n"));
        protocol::applyToView(view, protocol::decodeFrame("!0010P\r"));
        QCOMPARE(view, std::string("STOP\r\n"));
    }
};

QTEST_APPLESS_MAIN(TestDecoder)
#include "tst_decoder.moc"
