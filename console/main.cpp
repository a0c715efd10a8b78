// x10console: the X10 test console. One window, no command line of its own.

#include "appidentity.h"
#include "form1.h"
#include "cm11acontroller.h"

#include <QApplication>

#include <memory>

int main(int argc, char *argv[]) {
  QApplication app(argc, argv);
  appidentity::apply(app);

  Form1 form(std::make_unique<Cm11aController>());
  form.show();
  return QApplication::exec();
}
