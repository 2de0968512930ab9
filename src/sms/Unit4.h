#pragma once
#include "phone/page_context.h"

#include <QWidget>

class TForm4 : public QWidget {
    Q_OBJECT
public:
    TForm4(PageContext& context, QWidget* parent = nullptr);

private:
    PageContext& m_context;
};
