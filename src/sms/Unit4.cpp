#include "sms/Unit4.h"

TForm4::TForm4(PageContext& context, QWidget* parent) : QWidget(parent), m_context(context) {}
