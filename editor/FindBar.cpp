#include "FindBar.h"
#include "Str.h"

#include "db/Like.h"
#include "Session.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QStyle>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextEdit>
#include <QToolButton>

namespace {
// Shown around the current one; a pattern found everywhere in a long topic
// would otherwise slow every repaint.
constexpr int kHighlighted = 2000;
} // namespace

QList<TextMatch> findOccurrences(const QString &text, const QString &pattern, bool matchCase, bool wholeWord)
{
    const QStringList segments = store::LikePattern::searchSegments(pattern);
    if (segments.isEmpty())
        return {};
    QRegularExpression::PatternOptions options =
        QRegularExpression::DotMatchesEverythingOption | QRegularExpression::UseUnicodePropertiesOption;
    if (!matchCase)
        options |= QRegularExpression::CaseInsensitiveOption;
    QList<QRegularExpression> pieces;
    for (qsizetype i = 0; i < segments.size(); ++i) {
        QString source = QStringLiteral("(?:%1)").arg(segments[i]);
        if (wholeWord && i == 0)
            source.prepend(QStringLiteral("(?<!\\w)"));
        if (wholeWord && i == segments.size() - 1)
            source.append(QStringLiteral("(?!\\w)"));
        pieces.append(QRegularExpression(source, options));
    }
    // Each piece after the first is taken as soon as it comes: a star then
    // spans as little as it can, and the walk never goes back, so a long
    // text costs one pass per piece.
    QList<TextMatch> found;
    qsizetype from = 0;
    while (from <= text.size()) {
        QRegularExpressionMatch m = pieces.first().match(text, from);
        if (!m.hasMatch())
            break;
        const qsizetype start = m.capturedStart();
        qsizetype end = m.capturedEnd();
        bool whole = true;
        for (qsizetype i = 1; i < pieces.size() && whole; ++i) {
            m = pieces[i].match(text, end);
            whole = m.hasMatch();
            end = whole ? m.capturedEnd() : end;
        }
        // A piece found nowhere after this start is nowhere after a later one.
        if (!whole)
            break;
        if (end == start) {
            from = start + 1;
            continue;
        }
        found.append({int(start), int(end - start)});
        from = end;
    }
    return found;
}

FindBar::FindBar(Session &session, QTextEdit *body, QWidget *parent)
    : QWidget(parent), m_session(session), m_body(body)
{
    txtTrova = new QLineEdit(this);
    txtTrova->setClearButtonEnabled(true);
    chkMaiuscole = new QCheckBox(this);
    chkParola = new QCheckBox(this);
    cmdPrecedente = new QToolButton(this);
    cmdPrecedente->setArrowType(Qt::UpArrow);
    cmdPrecedente->setAutoRaise(true);
    cmdSuccessivo = new QToolButton(this);
    cmdSuccessivo->setArrowType(Qt::DownArrow);
    cmdSuccessivo->setAutoRaise(true);
    labConteggio = new QLabel(this);
    cmdChiudiTrova = new QToolButton(this);
    cmdChiudiTrova->setIcon(style()->standardIcon(QStyle::SP_DialogCloseButton));
    cmdChiudiTrova->setAutoRaise(true);

    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(txtTrova, 1);
    row->addWidget(cmdPrecedente);
    row->addWidget(cmdSuccessivo);
    row->addWidget(chkMaiuscole);
    row->addWidget(chkParola);
    row->addWidget(labConteggio);
    row->addWidget(cmdChiudiTrova);

    m_again.setSingleShot(true);
    connect(&m_again, &QTimer::timeout, this, [this] { Search(m_reselect); });
    connect(txtTrova, &QLineEdit::textChanged, this, [this] {
        m_reselect = true;
        m_again.start(100);
    });
    connect(chkMaiuscole, &QCheckBox::toggled, this, [this] { Search(true); });
    connect(chkParola, &QCheckBox::toggled, this, [this] { Search(true); });
    connect(cmdSuccessivo, &QToolButton::clicked, this, &FindBar::FindNext);
    connect(cmdPrecedente, &QToolButton::clicked, this, &FindBar::FindPrevious);
    connect(cmdChiudiTrova, &QToolButton::clicked, this, &FindBar::CloseBar);
    // Typing in the body moves the occurrences: found again after a pause.
    connect(m_body->document(), &QTextDocument::contentsChanged, this, [this] {
        if (!isVisible())
            return;
        m_reselect = m_reselect && m_again.isActive();
        m_again.start(300);
    });
    for (QWidget *w : {static_cast<QWidget *>(txtTrova), static_cast<QWidget *>(chkMaiuscole),
                       static_cast<QWidget *>(chkParola), static_cast<QWidget *>(cmdPrecedente),
                       static_cast<QWidget *>(cmdSuccessivo), static_cast<QWidget *>(cmdChiudiTrova)})
        w->installEventFilter(this);
    hide();
    AggiornaLingua();
}

void FindBar::AggiornaLingua()
{
    const auto s = [this](int id) { return m_session.GetString(id); };
    txtTrova->setPlaceholderText(s(Str::FindBarTip));
    txtTrova->setAccessibleName(s(Str::FindBarTip));
    chkMaiuscole->setText(s(Str::FindBarMatchCase));
    chkParola->setText(s(Str::FindBarWholeWord));
    for (auto [button, id] : {std::pair{cmdPrecedente, Str::FindBarPrevious}, {cmdSuccessivo, Str::FindBarNext}, {cmdChiudiTrova, Str::FindBarClose}}) {
        button->setToolTip(s(id));
        button->setAccessibleName(s(id));
    }
    ShowCount();
}

bool FindBar::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        const auto *k = static_cast<QKeyEvent *>(event);
        if (k->key() == Qt::Key_Escape) {
            CloseBar();
            return true;
        }
        if (watched == txtTrova && (k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter)) {
            // A pattern still being typed is found, as it would have been
            // a moment later; only then does Enter step.
            if (m_again.isActive()) {
                m_again.stop();
                Search(m_reselect);
            } else if (k->modifiers() & Qt::ShiftModifier)
                FindPrevious();
            else
                FindNext();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void FindBar::Open(const QString &pattern, bool fromTop)
{
    const bool wasVisible = isVisible();
    show();
    if (!wasVisible)
        emit visibilityChanged();
    if (!pattern.isEmpty()) {
        const QSignalBlocker quiet(txtTrova);
        txtTrova->setText(pattern);
    }
    if (fromTop)
        m_body->moveCursor(QTextCursor::Start);
    m_again.stop();
    Search(true);
    txtTrova->setFocus(Qt::ShortcutFocusReason);
    txtTrova->selectAll();
}

void FindBar::CloseBar()
{
    m_again.stop();
    m_matches.clear();
    m_current = -1;
    m_body->setExtraSelections({});
    hide();
    emit visibilityChanged();
    m_body->setFocus(Qt::OtherFocusReason);
}

void FindBar::Search(bool reselect)
{
    // reselect: the one at or after the body's selection becomes the
    // current one. After a change of the text the bar only counts again, so
    // that typing is not moved.
    m_matches = findOccurrences(m_body->document()->toPlainText(), txtTrova->text(), chkMaiuscole->isChecked(),
                                chkParola->isChecked());
    m_current = -1;
    const QTextCursor at = m_body->textCursor();
    for (int i = 0; i < m_matches.size(); ++i) {
        const TextMatch &m = m_matches[i];
        if (!reselect && at.selectionStart() == m.start && at.selectionEnd() == m.start + m.length) {
            m_current = i;
            break;
        }
        if (reselect && m.start >= at.selectionStart()) {
            m_current = i;
            break;
        }
    }
    if (reselect && m_current < 0 && !m_matches.isEmpty())
        m_current = 0;  // wrapped round to the top
    if (reselect && m_current >= 0)
        Select(m_current);
    else
        Highlight();
}

void FindBar::FindNext()
{
    if (m_matches.isEmpty())
        return;
    Select(m_current < 0 ? 0 : (m_current + 1) % int(m_matches.size()));
}

void FindBar::FindPrevious()
{
    if (m_matches.isEmpty())
        return;
    const int n = int(m_matches.size());
    Select(m_current < 0 ? n - 1 : (m_current + n - 1) % n);
}

void FindBar::Select(int index)
{
    m_current = index;
    const TextMatch &m = m_matches[index];
    QTextCursor c(m_body->document());
    c.setPosition(m.start);
    c.setPosition(m.start + m.length, QTextCursor::KeepAnchor);
    m_body->setTextCursor(c);
    m_body->ensureCursorVisible();
    Highlight();
}

void FindBar::Highlight()
{
    QList<QTextEdit::ExtraSelection> marks;
    const int n = int(m_matches.size());
    const int first = std::max(0, (m_current < 0 ? 0 : m_current) - kHighlighted / 2);
    const int last = std::min(n, first + kHighlighted);
    // Fixed colours, dark text: the marks must read on any theme.
    QTextCharFormat all;
    all.setBackground(QColor(255, 235, 59));
    all.setForeground(Qt::black);
    QTextCharFormat now = all;
    now.setBackground(QColor(255, 152, 0));
    for (int i = first; i < last; ++i) {
        QTextEdit::ExtraSelection mark;
        mark.cursor = QTextCursor(m_body->document());
        mark.cursor.setPosition(m_matches[i].start);
        mark.cursor.setPosition(m_matches[i].start + m_matches[i].length, QTextCursor::KeepAnchor);
        mark.format = i == m_current ? now : all;
        marks.append(mark);
    }
    m_body->setExtraSelections(marks);
    ShowCount();
}

void FindBar::ShowCount()
{
    const auto s = [this](int id) { return m_session.GetString(id); };
    if (txtTrova->text().isEmpty())
        labConteggio->clear();
    else if (m_matches.isEmpty())
        labConteggio->setText(s(Str::FindBarNoMatch));
    else if (m_current < 0)
        labConteggio->setText(s(Str::FindBarCount).arg(m_matches.size()));
    else
        labConteggio->setText(s(Str::FindBarPosition).arg(m_current + 1).arg(m_matches.size()));
}

void FindBar::OpenWithSelection()
{
    // A word selected in one paragraph is what the user wants found.
    const QString selected = m_body->textCursor().selectedText();
    const bool oneLine = !selected.contains(QChar::ParagraphSeparator) && !selected.contains(QChar::LineSeparator);
    Open(oneLine ? selected : QString(), false);
}

void FindBar::FindNextOrOpen()
{
    if (!isVisible() || txtTrova->text().isEmpty())
        OpenWithSelection();
    else
        FindNext();
}

void FindBar::FindPreviousOrOpen()
{
    if (!isVisible() || txtTrova->text().isEmpty())
        OpenWithSelection();
    else
        FindPrevious();
}
