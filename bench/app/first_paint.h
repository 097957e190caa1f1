#pragma once

// How the start probes end: when the watched window's first frame is done
// (every widget in it painted and the frame handed to the display) they
// say on stdout "first paint N ms after launch", counted from the moment in
// ZAMBREL_PROBE_LAUNCHED (nanoseconds of the system clock, as `date +%s%N`
// gives them; loading the program and its libraries counts, the way out
// does not), copy /proc/self/smaps to the file named by ZAMBREL_PROBE_SMAPS
// if any (which mappings hold the pages), and quit.

#include <QObject>

#include <functional>

class QWidget;

class FirstPaint : public QObject {
public:
    /// `done`, if given, is called when the time is taken.
    void watch(QWidget *window, std::function<void()> done = {});

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *m_window = nullptr;
    std::function<void()> m_done;
};
