#include "Session.h"

#include "places/AppEx.h"
#include "StringTable.h"

#include <cstdio>
#include <cstdlib>

#ifdef QUORVEL_COVERAGE
extern "C" void __gcov_dump(void);
#endif

Session::Session(platform::Services services, QStringList arguments, QString executablePath)
    : EndProgram([](int code) {
          std::fflush(nullptr);
#ifdef QUORVEL_COVERAGE
          __gcov_dump();  // _Exit skips the writing of the coverage counters at exit
#endif
          std::_Exit(code);
      })
    , CompactDatabase(&store::NoteStore::compactDatabase)
    , m_services(services), m_arguments(std::move(arguments)), m_executablePath(std::move(executablePath))
{
    // Versions and deleted topics are stamped by the same clock as the rest.
    store.now = [this] { return m_services.clock ? clock().now() : QDateTime::currentDateTime(); };
}

Session::~Session() = default;

QString Session::GetString(int id) const
{
    const qint32 absolute = qint32(id) + LanguageOffset;
    const auto &table = i18n::StringTable::builtIn();
    if (!table.contains(absolute))
        qWarning("No text for string id %d", absolute);
    return table.text(absolute);
}

AppEx &Session::appEx()
{
    if (!m_appEx)
        m_appEx = std::make_unique<AppEx>();
    return *m_appEx;
}

void Session::setAppEx(std::unique_ptr<AppEx> appEx)
{
    m_appEx = std::move(appEx);
}
