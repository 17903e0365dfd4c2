// Kept apart from SerialPort.cpp: <asm/termbits.h> clashes with <termios.h>.
#include <asm/ioctls.h>
#include <asm/termbits.h>

#include "SerialPort.h"

extern "C" int ioctl(int fd, unsigned long request, ...);

bool SetCustomBaudRate(int fd, int baudRate) {
  struct termios2 tio {};
  if (ioctl(fd, TCGETS2, &tio) != 0) return false;
  tio.c_cflag &= ~(CBAUD | (CBAUD << IBSHIFT));
  tio.c_cflag |= BOTHER | (BOTHER << IBSHIFT);
  tio.c_ispeed = static_cast<speed_t>(baudRate);
  tio.c_ospeed = static_cast<speed_t>(baudRate);
  return ioctl(fd, TCSETS2, &tio) == 0;
}
