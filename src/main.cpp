#include "frame.h"

int main(int, char**)
{
    quorvane_main();
}
