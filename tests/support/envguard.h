#pragma once
#include <QList>
#include <QPair>
#include <QString>

#include <optional>

// Sets environment variables for one scope and puts them back afterwards.
class EnvGuard {
public:
    ~EnvGuard() {
        for (auto it = m_saved.rbegin(); it != m_saved.rend(); ++it)
            it->second ? qputenv(it->first, *it->second) : qunsetenv(it->first);
    }
    void Set(const char *name, const char *value) { // null unsets
        m_saved.append(
            {name, qEnvironmentVariableIsSet(name) ? std::optional(qgetenv(name)) : std::nullopt});
        value ? qputenv(name, value) : qunsetenv(name);
    }
    void Set(const char *name, const QString &value) { Set(name, qPrintable(value)); }

private:
    QList<QPair<const char *, std::optional<QByteArray>>> m_saved;
};
