#pragma once
#include "phone/page_context.h"

#include <QWidget>

class TForm5 : public QWidget {
    Q_OBJECT
public:
    TForm5(PageContext& context, QWidget* parent = nullptr);

private:
    PageContext& m_context;
};
