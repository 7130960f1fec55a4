#pragma once

#include <QImage>
#include <QString>
#include <QStringList>

#include <functional>
#include <string>

class XProbe;

// A picture whose every pixel tells where it is (root coordinates), opaque:
// a grab that is shifted, cut or mixed up shows as a wrong colour at a known
// place.
QRgb PatternPixel(QPoint root);

// Makes the pattern the root window's background, so the server repaints it
// whatever was over it.
void ShowPatternOnRoot(XProbe &probe);

// The first pixel of an RGB32 image that is not `expected(point)`, all four
// bytes compared, as text; empty when every pixel matches.
std::string FirstDifference(const QImage &image, const std::function<QRgb(QPoint)> &expected);

// Runs a program to its end; its exit code, -1 when it could not run.
int RunProgram(const QString &program, const QStringList &arguments);
