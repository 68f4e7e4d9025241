#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

// The About box frmAbout: program name and version, the two boards, the maker and the
// maker's web site. Its texts are English whatever the language setting.
//
//   AboutBox about(transferWindow);   // a fresh box at each opening
//   about.exec();
class AboutBox : public QDialog
{
    Q_OBJECT

public:
    static constexpr const char *siteAddress = "www.valtrona.example";

    explicit AboutBox(QWidget *owner = nullptr);

    // The two lines of lblKestrion: the version line and the copyright line.
    static QString versionText();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void Form_Load();
    void lblLink_Click();

    QLabel *Image1;
    QLabel *lblKestrion;
    QLabel *Label1;
    QLabel *Label2;
    QLabel *lblLink;
    QPushButton *cmdOK;
};
