#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QtGlobal>

#include <optional>

// Sets environment variables for one scope and restores them afterwards.
class EnvGuard {
public:
    EnvGuard() = default;
    EnvGuard(const EnvGuard &) = delete;
    EnvGuard &operator=(const EnvGuard &) = delete;
    ~EnvGuard() {
        for (auto it = m_saved.rbegin(); it != m_saved.rend(); ++it) {
            if (it->second)
                qputenv(it->first.constData(), *it->second);
            else
                qunsetenv(it->first.constData());
        }
    }

    // A null `value` unsets the variable.
    void Set(const char *name, const char *value) {
        m_saved.append({name, qEnvironmentVariableIsSet(name)
                                  ? std::optional<QByteArray>(qgetenv(name))
                                  : std::nullopt});
        if (value)
            qputenv(name, value);
        else
            qunsetenv(name);
    }
    void Set(const char *name, const QString &value) { Set(name, value.toLocal8Bit().constData()); }

private:
    QList<QPair<QByteArray, std::optional<QByteArray>>> m_saved;
};
