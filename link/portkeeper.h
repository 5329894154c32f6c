#pragma once
// The port's life, whoever drives it: the user's choice opens a port (or none);
// a port that fails is watched for, and opened again by itself when its name
// finds a device again, until the user chooses otherwise, the window closes
// or the watch expires. Also whether something was given to send while no
// port was open (the window marks the port list then).
//
// The clock is a parameter so that a test can pass ten minutes at once;
// look() is what the watch does once a second.
#include "link/modulesession.h"
#include "link/port.h"

#include <QObject>
#include <QString>
#include <QTimer>

#include <chrono>
#include <functional>

namespace serial {

inline constexpr std::chrono::milliseconds kPortWatchEvery{1000};
inline constexpr std::chrono::minutes kPortWatchLimit{10};

class PortKeeper : public QObject {
    Q_OBJECT
  public:
    using Clock = std::function<std::chrono::steady_clock::time_point()>;

    PortKeeper(Port& rs232, ModuleSession& session, Clock clock = std::chrono::steady_clock::now,
               QObject* parent = nullptr);

    // The user's choice: ends a watch, closes what is open and opens the
    // name (empty: none, which never fails). Every wait of the session ends
    // first.
    OpenResult choose(const QString& name);
    // Closes the port and ends a watch for good.
    void close();

    bool portopen() const { return m_rs232.isOpen(); }
    // What is open, or was when it failed.
    const QString& name() const { return m_name; }

    bool watching() const { return !m_watched.isEmpty(); }
    const QString& watchedName() const { return m_watched; }
    // How long the watch goes on.
    std::chrono::milliseconds watchLeft() const;
    // One look for the watched port: opens it when it is there, ends the
    // watch when it has expired.
    void look();

    bool nothingSent() const { return m_nothingSent; }
    void setNothingSent(bool marked);

  signals:
    // A port was chosen, lost or opened again: whatever was under way for
    // the old one ends.
    void portChanged();
    // The open port failed; it is closed and watched for.
    void lost(const QString& name, const QString& description);
    void reopened(const QString& name);
    void watchChanged();
    void nothingSentChanged(bool marked);

  private:
    void failed(const QString& description);
    OpenResult openName(const QString& name);
    void stopWatching();

    Port& m_rs232;
    ModuleSession& m_session;
    Clock m_clock;
    QString m_name;
    QString m_watched;
    std::chrono::steady_clock::time_point m_watchingSince;
    QTimer m_watch;
    bool m_nothingSent = false;
    bool m_closed = false;
};

} // namespace serial
