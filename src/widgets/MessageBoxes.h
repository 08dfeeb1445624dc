#pragma once

#include "engine/ConversionEngine.h"

class QWidget;

// The program's message boxes: the title is always "Clipwright".
void showMessage(QWidget *parent, const QString &text, MessageIcon icon);
