#pragma once

#include "clitexts.h"
#include "exitcodes.h"
#include "portchoice.h"
#include "transfer.h"

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <limits>
#include <memory>
#include <vector>

class BoardStation;

// A download or an upload from the command line, on the same board station as the
// window: one board, or for a download a class set of boards, each on a station of its
// own, all at the same time in one event loop. It ends the event loop with the program's
// exit code (exitcodes.h). A class set ends with Done when every board got the whole
// file, with SignalBase + the signal's number when stopped by a signal, and otherwise
// with the highest code of its boards (FileProblem or PortProblem); a board that fails
// does not stop the others.
//
// One board: the end text on stdout, or one sentence on stderr. A class set: one line on
// stdout for every board, in the order of the ports, the port and a tab before the end
// text or the sentence. While it runs on a terminal, stderr shows a progress line for
// every board, redrawn in place at most 4 times a second (an upload's from when the line
// is open and the board may send); a board that has ended shows its whole text there,
// over as many lines as it takes.
class CliTransfer : public QObject {
    Q_OBJECT

public:
    // The longest wait for a silent board that the clock can count in milliseconds.
    static constexpr qint64 MaxWaitSeconds = std::numeric_limits<qint64>::max() / 1000;

    // A port the user named (a COM number, a device path, a network address), and the
    // name as written, which the lines of a class set begin with.
    struct NamedPort {
        QString name;
        PortChoice choice;
    };
    CliTransfer(Language language, Board board, const QList<NamedPort> &ports, QObject *parent = nullptr);
    ~CliTransfer() override;

    // Starts sending the file to every port; the event loop ends with the exit code.
    void download(const QString &path);
    // Starts the upload on the one port. With `waitSeconds` above 0 it gives up once the
    // board has sent nothing for that long, before its data or in the middle of them;
    // more than MaxWaitSeconds is taken as that.
    void upload(const QString &path, qint64 waitSeconds);

private:
    struct Target {
        QString port;   // as the user named it, control characters escaped
        std::unique_ptr<BoardStation> station;
        QElapsedTimer started;       // the rate counts from here
        TransferProgress progress;
        bool progressed = false;
        bool done = false;
        int code = ExitCode::Done;
        QString text;                // the end text or the sentence
    };

    void start(Direction direction, const QString &path);
    void showProgress(Target &target, const TransferProgress &progress);
    void scheduleDraw(bool now);
    void finished(Target &target, const TransferOutcome &outcome);
    void stopBySignal(int signalNumber);
    void checkSilence();
    void drawProgress();
    void clearProgress();
    QString progressText(const Target &target) const;
    void endWhenDrained();
    void drain();
    void end();
    QString oneLine(const QString &text) const;
    bool isClassSet() const { return m_targets.size() > 1; }

    Language m_language;
    Board m_board;
    Direction m_direction = Direction::Download;
    std::vector<Target> m_targets;
    bool m_progressOnTerminal;
    int m_linesShown = 0;        // progress lines on the terminal now
    QElapsedTimer m_lastDrawn;
    QTimer m_drawTimer;
    int m_signal = 0;
    qint64 m_waitSeconds = 0;
    QElapsedTimer m_sinceBoard;   // since the board last sent anything
    QTimer m_silenceTimer;
    bool m_gaveUp = false;
    bool m_starting = false;
    bool m_ending = false;
    QElapsedTimer m_draining;
};
