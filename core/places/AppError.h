#pragma once
// A numbered error with the routine it comes from and a text for the user;
// what start-up shows when it cannot go on.

#include <QString>

#include <exception>

class AppError : public std::exception {
public:
    AppError(quint32 number, QString source, QString description)
        : m_number(number), m_source(std::move(source)), m_description(std::move(description))
    {
    }
    quint32 number() const { return m_number; }
    const QString &source() const { return m_source; }
    const QString &description() const { return m_description; }
    const char *what() const noexcept override { return "AppError"; }

private:
    quint32 m_number;
    QString m_source;
    QString m_description;
};
