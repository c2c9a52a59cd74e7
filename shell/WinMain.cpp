#include "main.h"

int main()
{
    return WinMain();
}
