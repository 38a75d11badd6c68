// placeholder until the number texts land
#include "display/number_text.h"
QString FormatFixed(double x, int width, int decimals) { return QString::number(x, 'f', decimals).rightJustified(width); }
QString TrimZeros(const QString &text) { return text; }
double ReadNumber(const QString &text) { return text.trimmed().isEmpty() ? 0.0 : text.toDouble(); }
