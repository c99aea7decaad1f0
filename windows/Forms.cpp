#include "Forms.h"

Form::Form(Forms &forms, QWidget *self, QString tag)
    : m_forms(forms), m_self(self), m_tag(std::move(tag))
{
    m_forms.m_forms.append(this);
}

Form::~Form()
{
    m_forms.m_forms.removeAll(this);
}

bool Form::Unload()
{
    if (!m_self)
        return true;
    m_self->setAttribute(Qt::WA_DeleteOnClose);
    if (!m_self->close())
        return false;
    formClosed();
    return true;
}

void Form::formClosed()
{
    m_forms.m_forms.removeAll(this);
}

QList<Form *> Forms::all() const
{
    return m_forms;
}

void TopicWindow::RestoreAndBringForward()
{
    if (QWidget *w = widget())
        w->setWindowState(w->windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized));
    BringForward();
}
