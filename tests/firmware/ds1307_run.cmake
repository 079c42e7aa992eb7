# SPDX-License-Identifier: GPL-3.0-or-later
# The DS1307 demo against simavr's ds1338_virt part (register-compatible,
# mended to the DS1307 datasheet in src/sim/ds1307_model.c). The main loop
# reads the clock and builds its date text "0" year-month-day
# hour:minute:second; the runner prints the text each time the loop comes
# round, and the distinct texts must step second by second in simulated
# time. Each read takes about 0.56 s at 16 MHz: twi.c waits delay_nms(10)
# twice a byte, and delay.c counts loop passes not scaled to the crystal.
# The bus runs at 100 kHz (TWBR 72), the DS1307's most.
set(FW_NEEDS MakeMainCode MakeUartCode MakeTwiCode)
set(ds1307_16mhz ${UART0} ${TWI} --set TWI.Twi_ds1307=1 --set TWI.Twi_bit_rate=72 --set MCU.Fosc=18)
fw_banner(b "ATMega16 的串口测试")
# ATmega16, TWI on port C: the oscillator halted (CH) at 23:59:57 on the
# last day of 2099; the driver starts it, and the seconds carry into the
# new year.
fw_gen(ds1307.run.atmega16 atmega16 ${ds1307_16mhz}
       -- 112000000 expect-gbk 0 "${b}" ds1307 D7:59:23:05:31:12:99:00
       texts RtcUpdateData strcpy "099-12-31 23:59:57|099-12-31 23:59:58|099-12-31 23:59:59|00-1-1 0:0:0|00-1-1 0:0:1|00-1-1 0:0:2")
# ATmega128, TWI on port D: 12 hour mode, 11:59:58 PM on 28 February of a
# leap year; the driver shows 24 hour time and the next day is the 29th.
fw_banner(b "ATMega128的串口0 测试")
fw_gen(ds1307.run.atmega128 atmega128 ${ds1307_16mhz}
       -- 80000000 expect-gbk 0 "${b}" ds1307 58:59:71:03:28:02:24:00
       texts RtcUpdateData strcpy "024-2-28 23:59:58|024-2-28 23:59:59|024-2-29 0:0:0|024-2-29 0:0:1|024-2-29 0:0:2")
