#pragma once
#include "phone/page_context.h"

#include <QWidget>

class TForm6 : public QWidget {
    Q_OBJECT
public:
    TForm6(PageContext& context, QWidget* parent = nullptr);

private:
    PageContext& m_context;
};
