#include "config/Unit5.h"

TForm5::TForm5(PageContext& context, QWidget* parent) : QWidget(parent), m_context(context) {}
