#pragma once

#include <QColor>
#include <QFont>
#include <QString>

// The text attributes of a run of log text in the form Qt's own text boxes give
// them to assistive technology: "name:value;" pairs in the order of their names,
// e.g. "color:rgb(255,0,0);font-family:\"Courier New\";font-size:11pt;
// font-style:normal;font-weight:bold;".
QString LogTextAttributes(const QFont& font, unsigned style, const QColor& colour);
