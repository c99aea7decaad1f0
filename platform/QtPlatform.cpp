#include "QtPlatform.h"

#include "places/Places.h"

#include "TextFit.h"

#include <QApplication>
#include <QColorDialog>
#include <QFileDialog>
#include <QFontDialog>
#include <QPrintDialog>
#include <QPrinter>
#include <QDesktopServices>
#include <QFileInfo>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QStyle>
#include <QSoundEffect>
#include <QUrl>

#include <cerrno>
#include <cstring>
#include <ctime>
#include <sys/stat.h>

namespace platform {

namespace {

void dress(QMessageBox &box, const QString &prompt, int style, const QString &title)
{
    box.setWindowTitle(title);
    // A message box sizes itself to its text, not to its title.
    box.setMinimumWidth(textfit::titleWidth(&box, title));
    box.setText(prompt);
    switch (style & 0x70) {
    case vbCritical:
        box.setIcon(QMessageBox::Critical);
        break;
    case vbQuestion:
        box.setIcon(QMessageBox::Question);
        break;
    case vbExclamation:
        box.setIcon(QMessageBox::Warning);
        break;
    case vbInformation:
        box.setIcon(QMessageBox::Information);
        break;
    default:
        break;
    }
}

} // namespace

void QtDialogs::Notice(QWidget *parent, const QString &prompt, int style, const QString &title)
{
    auto *box = new QMessageBox(parent);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::NonModal);
    dress(*box, prompt, style, title);
    box->setStandardButtons(QMessageBox::Ok);
    box->show();
    box->raise();
    box->activateWindow();
}

int QtDialogs::MsgBox(QWidget *parent, const QString &prompt, int style, const QString &title)
{
    QMessageBox box(parent);
    dress(box, prompt, style, title);
    struct Button {
        QMessageBox::StandardButton button;
        int answer;
    };
    QList<Button> buttons;
    switch (style & 0x0f) {
    case vbOKCancel:
        buttons = {{QMessageBox::Ok, vbOK}, {QMessageBox::Cancel, vbCancel}};
        break;
    case vbYesNoCancel:
        buttons = {{QMessageBox::Yes, vbYes}, {QMessageBox::No, vbNo}, {QMessageBox::Cancel, vbCancel}};
        break;
    case vbYesNo:
        buttons = {{QMessageBox::Yes, vbYes}, {QMessageBox::No, vbNo}};
        break;
    case vbRetryCancel:
        buttons = {{QMessageBox::Retry, vbRetry}, {QMessageBox::Cancel, vbCancel}};
        break;
    default:
        buttons = {{QMessageBox::Ok, vbOK}};
        break;
    }
    QMessageBox::StandardButtons set;
    for (const Button &b : buttons)
        set |= b.button;
    box.setStandardButtons(set);
    const int def = (style & vbDefaultButton2) && buttons.size() > 1 ? 1 : 0;
    box.setDefaultButton(buttons[def].button);
    const auto clicked = QMessageBox::StandardButton(box.exec());
    for (const Button &b : buttons)
        if (b.button == clicked)
            return b.answer;
    // Closed with Esc or the close box: the cancelling answer of the set.
    for (const Button &b : buttons)
        if (b.answer == vbCancel || b.answer == vbNo)
            return b.answer;
    return vbOK;
}

std::optional<QString> QtDialogs::InputBox(QWidget *parent, const QString &prompt, const QString &title,
                                           const QString &defaultText)
{
    QInputDialog box(parent);
    box.setWindowTitle(title);
    box.setLabelText(prompt);
    box.setTextValue(defaultText);
    // The box's layout sets its own minimum size: the room for the title
    // goes to the text field.
    const int margins = box.style()->pixelMetric(QStyle::PM_LayoutLeftMargin)
        + box.style()->pixelMetric(QStyle::PM_LayoutRightMargin);
    if (auto *edit = box.findChild<QLineEdit *>())
        edit->setMinimumWidth(textfit::titleWidth(&box, title) - margins);
    if (box.exec() != QDialog::Accepted)
        return std::nullopt;
    return box.textValue();
}

std::optional<Dialogs::FontChoice> QtDialogs::ChooseFont(QWidget *parent, const FontChoice &initial)
{
    QFont font(initial.family);
    if (initial.pointSize > 0)
        font.setPointSizeF(initial.pointSize);
    font.setBold(initial.bold);
    font.setItalic(initial.italic);
    font.setStrikeOut(initial.strikeOut);
    font.setUnderline(initial.underline);
    bool ok = false;
    const QFont chosen = QFontDialog::getFont(&ok, font, parent);
    if (!ok)
        return std::nullopt;
    return FontChoice{chosen.family(), chosen.pointSizeF(), chosen.bold(), chosen.italic(), chosen.strikeOut(),
                      chosen.underline()};
}

std::optional<QColor> QtDialogs::ChooseColor(QWidget *parent, const QColor &initial)
{
    const QColor chosen = QColorDialog::getColor(initial.isValid() ? initial : m_lastColor, parent);
    if (!chosen.isValid())
        return std::nullopt;
    m_lastColor = chosen;
    return chosen;
}

std::optional<QString> QtDialogs::GetSaveFileName(QWidget *parent, const QString &title, const QString &fileName,
                                                  const QString &filter, const QString &defaultSuffix)
{
    // "Name (*.A)|*.A|Other (*.B)|*.B" becomes Qt's "Name (*.A);;Other (*.B)".
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList filters, suffixes;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        filters << parts[i];
        const QString pattern = parts[i + 1];
        suffixes << (pattern.startsWith(QLatin1String("*.")) && !pattern.contains(QLatin1Char(';')) ? pattern.mid(2) : QString());
    }
    QFileDialog dialog(parent, title);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.setNameFilters(filters);
    dialog.setDefaultSuffix(defaultSuffix.startsWith(QLatin1Char('.')) ? defaultSuffix.mid(1) : defaultSuffix);
    // A name typed without an ending gets that of the file type chosen.
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&](const QString &chosen) {
        const QString suffix = suffixes.value(filters.indexOf(chosen));
        if (!suffix.isEmpty())
            dialog.setDefaultSuffix(suffix);
    });
    dialog.selectFile(fileName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().constFirst();
}

bool QtDialogs::ChoosePrinter(QWidget *parent, QPrinter *printer)
{
    QPrintDialog dialog(printer, parent);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
    dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
    return dialog.exec() == QDialog::Accepted;
}

QDateTime SystemClock::now() const
{
    return QDateTime::currentDateTime();
}

bool SystemClock::setSystemDateTime(const QDateTime &when, QString *error)
{
    timespec ts{};
    ts.tv_sec = time_t(when.toSecsSinceEpoch());
    ts.tv_nsec = 0;
    if (clock_settime(CLOCK_REALTIME, &ts) != 0) {
        if (error)
            *error = QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
    return true;
}

QtSound::QtSound() = default;
QtSound::~QtSound() = default;

void QtSound::play(const QString &path)
{
    if (!QFileInfo::exists(path))
        return;
    // Created on first use and kept, the file read once: with no audio
    // device the effect simply never plays, which is not an error. An effect
    // that could not read the file (caught while it was being written) is
    // made anew, or it would stay silent for the rest of the run.
    const QUrl url = QUrl::fromLocalFile(path);
    if (!m_effect || m_effect->status() == QSoundEffect::Error) {
        m_effect = std::make_unique<QSoundEffect>();
        m_effect->setSource(url);
    } else if (m_effect->source() != url) {
        m_effect->setSource(url);
    }
    // Stopped first: play() on an effect still playing does not start over.
    m_effect->stop();
    m_effect->play();
}

bool QtDesktop::openUrl(const QString &url)
{
    // The program started for it saves files of the user's own choosing,
    // with the user's own umask rather than the notes' one.
    const mode_t notes = ::umask(places::UserUmask());
    const bool opened = QDesktopServices::openUrl(QUrl(url));
    ::umask(notes);
    return opened;
}

bool QtDesktop::focusWindow(QWidget *window)
{
    if (!window || !window->isEnabled())
        return false;
    if (window->isMinimized())
        window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
    window->show();
    window->raise();
    window->activateWindow();
    window->setFocus();
    return window->isVisible();
}

} // namespace platform
