// frmAutorun: the launcher's one window. Handlers are named after their control and event.
#pragma once

#include "controls.h"
#include "launcher_logic.h"
#include "launchertexts.h"
#include "twips.h"

#include <QWidget>
#include <functional>
#include <optional>

namespace autorun {

// A page picture that could not be loaded: which file, and why.
struct PictureError
{
    QString file;
    PictureProblem problem = PictureProblem::Missing;
    QString detail;   // what the picture reader said, for a picture it could not read
    QString message(Language language) const;
};

// Loads a picture file by its name as given (a relative name is taken from the current
// working directory). On failure returns the error and leaves *picture alone.
std::optional<PictureError> loadPicture(const QString &file, QPixmap *picture);

// The message box that reports a picture error, titled with the program title, in the
// language of the default locale.
void showPictureError(QWidget *parent, const PictureError &error);

class AutorunWindow : public QWidget
{
    Q_OBJECT
public:
    // The window as designed (design sizes, design-time picture); scale defaults to the
    // primary screen's logical resolution.
    explicit AutorunWindow(const TwipScale &scale = TwipScale::forScreen(), QWidget *parent = nullptr);

    // The start-up layout. Returns the error of the first page switch, if its picture could not be
    // loaded; main() then reports it and ends before the window is shown.
    std::optional<PictureError> Form_Load();
    // The last step of the start-up layout: show the window centred on the screen.
    void showCentred();

    // The frame around a link label (private in spirit; reachable for tests).
    void DrawLabelFrame(qint16 left, qint16 top, qint16 width, qint16 height, bool pressed);

    // A picture error during a tab change shows the message box and then ends the program
    // through the quit action, with kPictureErrorExitCode: by default
    // QCoreApplication::exit; tests may replace it.
    void setQuitAction(std::function<void(int)> quit);
    // What the two links start, the installer and the web site; tests may replace them.
    // Defaults: QProcess::startDetached(path) and QDesktopServices::openUrl(url).
    void setStartProgramAction(std::function<bool(const QString &)> start);
    void setOpenUrlAction(std::function<bool(const QString &)> open);

    // Controls, by the names the launcher knows them by (also their objectName).
    TabStrip *TabStrip1 = nullptr;
    PictureBox *picBackground = nullptr;
    Label *lblExplain = nullptr;
    LineShape *Line4 = nullptr;
    LineShape *Line3 = nullptr;
    LineShape *Line2 = nullptr;
    LineShape *Line1 = nullptr;
    Label *lblLink = nullptr;
    Label *lblKestrion = nullptr;

public slots:
    void TabStrip1_Click();
    void picBackground_MouseMove();
    void lblKestrion_MouseMove();
    void lblKestrion_MouseDown();
    void lblKestrion_Click();
    void lblLink_MouseMove();
    void lblLink_MouseDown();
    void lblLink_Click();

private:
    std::optional<PictureError> switchPage();
    void frameLabel(const Label *label, bool pressed);

    TwipScale m_scale;
    std::function<void(int)> m_quit;
    std::function<bool(const QString &)> m_startProgram;
    std::function<bool(const QString &)> m_openUrl;
};

} // namespace autorun
