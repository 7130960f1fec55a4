#include "app/monitorinfo.h"

#include <algorithm>

namespace quillcap {

namespace {

const QString kLineBreak = QStringLiteral("\r\n");

// The descriptions come from fixed-size records that may carry zero padding.
QString withoutZeros(QString text) {
    return text.remove(QChar(0));
}

QString stateText(const DisplayDevice &device) {
    QString state;
    if (!device.attached)
        state = QStringLiteral("disabled, ");
    else if (device.primary)
        state = QStringLiteral("primary, ");
    if (device.removable)
        state += QStringLiteral("removable, ");
    return state;
}

} // namespace

QString EnumerateMonitors(const std::vector<DisplayDevice> &devices, qint32 &minLeft,
                          qint32 &maxRight, qint32 &minTop, qint32 &maxBottom,
                          MonitorTable &table) {
    minLeft = 32000;
    minTop = 32000;
    maxRight = -32000;
    maxBottom = -32000;
    for (int row = 0; row <= 3; ++row)
        for (int column = 0; column <= 3; ++column)
            table.Set(row, column, 0);

    QString text;
    // Kept from one device to the next: a detached device repeats the work
    // area of the last attached one before it.
    quint32 monitorHandle = 0;
    QRect workArea;
    int deviceNumber = 0;
    int ordinal = 1;
    for (const DisplayDevice &device : devices) {
        ++deviceNumber;
        if (device.mirroring)
            continue;

        QString monitor = withoutZeros(device.monitorDescription);
        if (monitor.isEmpty())
            monitor = QStringLiteral("Default Monitor");
        if (device.attached) {
            monitorHandle = device.monitorHandle;
            if (monitorHandle != 0)
                workArea = device.workArea;
        }

        text += QString::number(ordinal) + QStringLiteral(". ") + monitor + QStringLiteral(" on ") +
                withoutZeros(device.adapterDescription) + kLineBreak;
        const QString state = stateText(device);
        if (!state.isEmpty())
            text += state.left(state.size() - 2) + kLineBreak;

        const QRect &r = device.rect;
        text += QStringLiteral("%1 x %2 @ %3,%4 - %5-bit - %6 Hz")
                    .arg(r.width())
                    .arg(r.height())
                    .arg(r.x())
                    .arg(r.y())
                    .arg(device.bitsPerPixel)
                    .arg(device.refreshHz) +
                kLineBreak;

        if (deviceNumber < MonitorTable::kSize) {
            table.Set(deviceNumber, 0, r.x());
            table.Set(deviceNumber, 1, r.y());
            table.Set(deviceNumber, 2, r.width());
            table.Set(deviceNumber, 3, r.height());
        }
        if (device.attached) {
            minLeft = std::min(minLeft, r.x());
            minTop = std::min(minTop, r.y());
            maxRight = std::max(maxRight, r.x() + r.width());
            maxBottom = std::max(maxBottom, r.y() + r.height());
        }

        if (monitorHandle != 0)
            text += QStringLiteral("workspace: %1,%2 - %3,%4 HMONITOR: &H")
                        .arg(workArea.x())
                        .arg(workArea.y())
                        .arg(workArea.x() + workArea.width())
                        .arg(workArea.y() + workArea.height()) +
                    QString::number(monitorHandle, 16).toUpper() + kLineBreak;
        text += withoutZeros(device.deviceName) + kLineBreak + kLineBreak;
        ++ordinal;
    }
    return text;
}

void UpdateMonitorInfo(const std::vector<DisplayDevice> &devices, AppState &state) {
    const QString text = EnumerateMonitors(devices, state.minLeft, state.maxRight, state.minTop,
                                           state.maxBottom, state.monitorTable);
    DebugLog &log = state.log;
    log.WriteLog(text);
    log.WriteLog(QStringLiteral("Desktop parameters: "));
    log.WriteLog(
        QStringLiteral("   minLeft = %1   maxRight = %2").arg(state.minLeft).arg(state.maxRight));
    log.WriteLog(
        QStringLiteral("   minTop  = %1   maxBottom = %2").arg(state.minTop).arg(state.maxBottom));
    log.WriteLog(QStringLiteral("Tally of Monitors:"));
    const MonitorTable &table = state.monitorTable;
    for (int n = 1; n <= 4; ++n)
        log.WriteLog(QStringLiteral("%1: (%2,%3)  %4x%5")
                         .arg(n)
                         .arg(table.MParm(n, 0))
                         .arg(table.MParm(n, 1))
                         .arg(table.MParm(n, 2))
                         .arg(table.MParm(n, 3)));
    log.WriteLog(QStringLiteral(" "));
}

} // namespace quillcap
