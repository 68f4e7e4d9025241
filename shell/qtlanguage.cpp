#include "qtlanguage.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QHash>
#include <QIdentityProxyModel>
#include <QLibraryInfo>
#include <QLocale>
#include <QPointer>
#include <QTranslator>

namespace {

// Texts of the file dialog that Qt's Chinese catalogue does not have.
class MissingQtTexts : public QTranslator {
public:
    using QTranslator::QTranslator;

    QString translate(const char *context, const char *sourceText, const char *, int) const override
    {
        if (qstrcmp(context, "QAbstractFileIconProvider") != 0)
            return {};
        static const QHash<QByteArray, QString> texts{
            {"Folder", QStringLiteral("資料夾")},
            {"Drive", QStringLiteral("磁碟機")},
            {"Shortcut", QStringLiteral("捷徑")},
            {"Unknown", QStringLiteral("未知")},
        };
        return texts.value(sourceText);
    }

    bool isEmpty() const override { return false; }
};

// Qt's file list writes sizes and dates in the system's locale, which the language chosen
// in the program does not change, and Qt's Taiwanese formats show a letter for the time
// of day and "byte" for bytes: this writes them in Chinese.
class ChineseFileList : public QIdentityProxyModel {
public:
    using QIdentityProxyModel::QIdentityProxyModel;

    QVariant data(const QModelIndex &index, int role) const override
    {
        const auto *files = qobject_cast<const QFileSystemModel *>(sourceModel());
        if (files && role == Qt::DisplayRole) {
            const QModelIndex source = mapToSource(index);
            const QLocale taiwan(QLocale::Chinese, QLocale::Taiwan);
            if (index.column() == SizeColumn && !files->isDir(source)) {
                const qint64 size = files->size(source);
                return size < 1024 ? QStringLiteral("%1 位元組").arg(size)
                                   : taiwan.formattedDataSize(size, 2, QLocale::DataSizeTraditionalFormat);
            }
            if (index.column() == DateColumn && files->lastModified(source).isValid())
                return taiwan.toString(files->lastModified(source),
                                       taiwan.dateFormat(QLocale::ShortFormat) + QStringLiteral(" HH:mm"));
        }
        return QIdentityProxyModel::data(index, role);
    }

private:
    static constexpr int SizeColumn = 1;   // the columns of QFileSystemModel
    static constexpr int DateColumn = 3;
};

// Gives each of Qt's own file dialogs shown while Chinese is in force the list above.
class FileDialogWatcher : public QObject {
public:
    using QObject::QObject;
    bool chinese = false;

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (chinese && event->type() == QEvent::Show) {
            auto *dialog = qobject_cast<QFileDialog *>(watched);
            if (dialog && !dialog->proxyModel())
                dialog->setProxyModel(new ChineseFileList(dialog));
        }
        return false;
    }
};

struct QtChinese {
    QPointer<QTranslator> catalogue;
    QPointer<QTranslator> missing;
    QPointer<FileDialogWatcher> fileDialogs;
    bool installed = false;
};

} // namespace

bool useQtLanguage(bool chinese)
{
    static QtChinese qt;
    if (!qt.catalogue || !qt.missing || !qt.fileDialogs)
        qt.installed = false;   // the application that owned them has gone

    if (!chinese) {
        if (qt.installed) {
            QCoreApplication::removeTranslator(qt.missing);
            QCoreApplication::removeTranslator(qt.catalogue);
            qt.fileDialogs->chinese = false;
        }
        qt.installed = false;
        QLocale::setDefault(QLocale::system());
        return true;
    }
    if (qt.installed)
        return true;
    if (!qt.catalogue) {
        auto *catalogue = new QTranslator(QCoreApplication::instance());
        if (!catalogue->load(QStringLiteral("qtbase_zh_TW"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
            delete catalogue;
            return false;
        }
        qt.catalogue = catalogue;
        qt.missing = new MissingQtTexts(QCoreApplication::instance());
        qt.fileDialogs = new FileDialogWatcher(QCoreApplication::instance());
        QCoreApplication::instance()->installEventFilter(qt.fileDialogs);
    }
    QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::Taiwan));   // the file types' names
    qt.installed = QCoreApplication::installTranslator(qt.catalogue) && QCoreApplication::installTranslator(qt.missing);
    qt.fileDialogs->chinese = qt.installed;
    return qt.installed;
}
