#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>

#include <optional>

// Sets environment variables for one scope and puts them back afterwards.
class EnvGuard {
public:
    EnvGuard() = default;
    EnvGuard(const EnvGuard &) = delete;
    EnvGuard &operator=(const EnvGuard &) = delete;
    ~EnvGuard() {
        for (auto it = m_saved.rbegin(); it != m_saved.rend(); ++it)
            it->second ? qputenv(it->first.constData(), *it->second)
                       : qunsetenv(it->first.constData());
    }
    // A null `value` unsets the variable.
    void Set(const char *name, const char *value) {
        m_saved.append(
            {name, qEnvironmentVariableIsSet(name) ? std::optional(qgetenv(name)) : std::nullopt});
        value ? qputenv(name, value) : qunsetenv(name);
    }
    void Set(const char *name, const QString &value) { Set(name, value.toLocal8Bit().constData()); }

private:
    QList<QPair<QByteArray, std::optional<QByteArray>>> m_saved;
};
