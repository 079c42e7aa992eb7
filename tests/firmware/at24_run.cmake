# SPDX-License-Identifier: GPL-3.0-or-later
# The AT24Cxx demo against simavr's own i2c_eeprom part (mended to the
# AT24C32 datasheet, src/sim/at24_model.c): 0x0A writes 0x99 to 0x55 and 0x22
# to 0x56, 0x0B reads both back and sends their sum as one byte, 187 (0xBB).
# The TWI sits on port C of the ATmega16 and port D of the ATmega128.
set(FW_NEEDS MakeMainCode MakeUartCode MakeTwiCode)
# The one-UART demo ends its menu with 0x0A 0x0D, the two-UART one with 0x0D 0x0A.
set(at24_menu "发送0x0A可以写AT24Cxx \\r\\n发送0x0B可以读取AT24Cxx \\r\\n")
set(at24_reply "对EEPROM的地址0x55写入0x99,地址0x56写入0x22\\r\\n读取EEPROM的值，如果是187，则测试通过\\r\\n")
foreach(chip atmega16 atmega128)
  if(chip STREQUAL atmega16)
    set(banner "${b16}${at24_menu}\\n\\r")
  else()
    set(banner "${b128}${at24_menu}\\r\\n")
  endif()
  fw_gen(at24.run.${chip} ${chip} ${UART0} ${TWI} --set TWI.Twi_at24=1
         -- 30000000 send 0 0x0A 2000000 send 0 0x0B 15000000
         expect-gbk 0 "${banner}${at24_reply}" append 0 "\\xBB\\n\\r" eeprom 0x55:2 "99 22")
endforeach()
