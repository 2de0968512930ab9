#include "numbers/Unit6.h"

TForm6::TForm6(PageContext& context, QWidget* parent) : QWidget(parent), m_context(context) {}
