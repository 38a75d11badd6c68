// placeholder: the worksheet print click lands here
#include "app/form1.h"
void TForm1::BitBtn1Click() {}
