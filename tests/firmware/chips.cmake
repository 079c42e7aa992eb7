# SPDX-License-Identifier: GPL-3.0-or-later
# Projects with the DS18B20, the CH375 and the MP3 decoders: every chip whose
# pins and memory hold them is generated, built and checked to fit.
set(FW_NEEDS MakeMainCode MakeUartCode MakeOneWireCode)
set(DS18B20_PC3 --set "Other APP.OneWire_use=1" --set "Other APP.Ds18b20_use=1"
    --set "Other APP.Ds18b20_port=2" --set "Other APP.Ds18b20_portno=3")
foreach(chip IN LISTS FW_CHIPS)
  fw_gen(ds18b20.${chip} ${chip} ${UART0} ${DS18B20_PC3})
endforeach()

# The CH375 file layer keeps a 512-byte sector buffer: not on the chips with
# 512 bytes of RAM (the generator warns there). The ATmega8 has no port A:
# data on port D, control on port B, no UART.
set(FW_NEEDS MakeMainCode MakeUartCode MakeUsbCode)
set(CH375_PINS --set USB.Usb_use=1 --set USB.Text1=PC4 --set USB.Text2=PC5 --set USB.Text3=PC6
    --set USB.Text4=PC7 --set USB.Text5=PB0 --set USB.Text6=PB1)
foreach(chip atmega16 atmega32 atmega64 atmega128)
  fw_gen(ch375.${chip} ${chip} ${UART0} ${CH375_PINS})
endforeach()
fw_gen(ch375.atmega8 atmega8 --set USB.Usb_use=1 --set USB.Data_io=3 --set USB.Text1=PB0
       --set USB.Text2=PB1 --set USB.Text3=PB2 --set USB.Text4=PB3 --set USB.Text5=PB4
       --set USB.Text6=PB5)

# The STA013 is typed into the MP3 chip box; the Makefile builds its driver
# (sta013.c) on every chip with a TWI. The ATmega8515 has none: the driver
# stays out of its Makefile (warned about) and the project still builds.
set(FW_NEEDS MakeMainCode MakeUartCode MakeMp3Code)
foreach(chip IN LISTS FW_CHIPS)
  fw_gen(sta013.${chip} ${chip} ${UART0} --set "Other APP.MP3_use=1" --type ComboBox29=STA013)
endforeach()

# The VS1003 playback demo as generated (keys on port E: ATmega64 and
# ATmega128), with what it needs, each on pins of its own: the SPI master
# (port B), the CH375 file layer (data port A, control PC0..PC5), a
# character LCD (data port D, control PG0..PG2), the decoder on PF0..PF3.
set(FW_NEEDS MakeMainCode MakeUartCode MakeMp3Code MakeUsbCode MakeLcdCode)
foreach(chip atmega64 atmega128)
  fw_gen(vs1003.${chip} ${chip} ${UART0} ${SPI_MASTER}
         --set USB.Usb_use=1 --set USB.Data_io=0 --set USB.Text1=PC4 --set USB.Text2=PC3
         --set USB.Text3=PC2 --set USB.Text4=PC0 --set USB.Text5=PC1 --set USB.Text6=PC5
         --set LCD.Lcd_use=1 --set LCD.Lcd_type=1 --set LCD.Data_io=3 --set LCD.Text1=PG0
         --set LCD.Text2=PG1 --set LCD.Text3=PG2
         --set "Other APP.MP3_use=1" --set "Other APP.Text1=PF0" --set "Other APP.Text2=PF1"
         --set "Other APP.Text3=PF2" --set "Other APP.Text4=PF3")
endforeach()

# --- the DS18B20 demo at every crystal, against the sensor model ------------
# 0x0C reads the conversion the previous 0x0C started: first the power-on
# 85 degrees (1360), then, 0.9 s later (a conversion takes 750 ms), the
# model's 25.0625 degrees (0x0191). The model fails the run on any slot
# outside the datasheet's times.
set(FW_NEEDS MakeMainCode MakeUartCode MakeOneWireCode)
set(FW_CRYSTAL_HZ 1000000 1843200 2000000 2457600 3276800 3686400 4000000 4608000 4915200 6000000
    7372800 8000000 9216000 10000000 11059200 12000000 14000000 14745600 16000000)
fw_banner(b128 "ATMega128的串口0 测试")
set(ds_found "检测到DS18B20 的存在，可以测试！ \\r\\n发送0x0C可以读取当前时间 \\r\\n用户可以自行开发其他功能 \\r\\n${FW_WEB} \\r\\n")
set(ds_temp "当前环境温度为：")
foreach(fosc RANGE 0 18)
  list(GET FW_CRYSTAL_HZ ${fosc} hz)
  math(EXPR first "${hz} * 4 / 10")
  math(EXPR second "${hz} * 13 / 10")
  math(EXPR end "${hz} * 15 / 10")
  fw_gen(ds18b20.run.${hz} atmega16 ${UART0} ${DS18B20_PC3} --set MCU.Fosc=${fosc}
         -- ${end} send 0 0x0C ${first} send 0 0x0C ${second} ds18b20 C:3 0x0191
         expect-gbk 0 "${b16}${ds_found}${ds_temp}1360\\r\\n${ds_temp}0401\\r\\n")
endforeach()
# The sensor's presence pulse at the datasheet's extremes (15 us after the
# reset for 60 us, 60 us after it for 240 us) at the slowest and the fastest
# crystal, with the receive interrupt on and a byte (0x00, which the demo
# ignores) arriving every 1.4 ms: the handler fires at every phase of the
# slots, which it must not stretch.
foreach(run "atmega16;0;15:60;C:3" "atmega16;18;60:240;C:3" "atmega128;0;60:240;F:7" "atmega128;18;15:60;F:7")
  list(GET run 0 chip)
  list(GET run 1 fosc)
  list(GET run 2 presence)
  list(GET run 3 pin)
  list(GET FW_CRYSTAL_HZ ${fosc} hz)
  math(EXPR first "${hz} * 4 / 10")
  math(EXPR second "${hz} * 13 / 10")
  math(EXPR end "${hz} * 15 / 10")
  math(EXPR period "${hz} / 700")
  string(REPLACE ":" "_" tag "${presence}")
  string(SUBSTRING "${pin}" 0 1 port_letter)
  string(FIND "ABCDEFG" "${port_letter}" port_index)
  string(SUBSTRING "${pin}" 2 1 port_bit)
  if(chip STREQUAL atmega16)
    set(banner "${b16}")
  else()
    set(banner "${b128}")
  endif()
  fw_gen(ds18b20.irq.${chip}.${hz}.${tag} ${chip} ${UART0} --set UART0.Rx_int=1 --set "Other APP.OneWire_use=1"
         --set "Other APP.Ds18b20_use=1" --set "Other APP.Ds18b20_port=${port_index}"
         --set "Other APP.Ds18b20_portno=${port_bit}" --set MCU.Fosc=${fosc}
         -- ${end} send 0 0x0C ${first} send 0 0x0C ${second} storm 0 0x00 ${period}
         ds18b20 ${pin} 0x0191:${presence}
         expect-gbk 0 "${banner}${ds_found}${ds_temp}1360\\r\\n${ds_temp}0401\\r\\n")
endforeach()

# No sensor: no presence pulse, the demo says so and still answers 0x0C;
# the line reads high, 0xFFFF, which uart.c's four-digit long2str shows
# as "q535" (its thousands digit is 65).
fw_gen(ds18b20.missing.atmega16 atmega16 ${UART0} ${DS18B20_PC3}
       -- 4000000 send 0 0x0C 3000000
       expect-gbk 0 "${b16}未检测到DS18B20 的存在!\\r\\n${ds_temp}q535\\r\\n")

# --- the MP3 demo: CH375 disk to VS1003, against both models -----------------
# The demo reads its keys on port E, so only the ATmega64 and ATmega128.
find_program(TAMBERLO_MKFS_FAT NAMES mkfs.fat mkfs.vfat PATHS /usr/sbin /sbin)
find_program(TAMBERLO_MCOPY mcopy)
if(FW_CAN_RUN AND TAMBERLO_MKFS_FAT AND TAMBERLO_MCOPY)
  foreach(chip atmega64 atmega128)
    fw_test(mp3.play.${chip} ${FW_DIR}/mp3_case.sh $<TARGET_FILE:tamberlo-gen> ${FW_RUNNER} ${chip}
            ${FW_WORK}/mp3.play.${chip} ${TAMBERLO_MKFS_FAT} ${TAMBERLO_MCOPY})
  endforeach()
  # The CH375 file layer on a disk with an MBR, long names, a file over
  # 64 KiB and corrupt entries, and on a FAT32 volume it must refuse.
  foreach(run "atmega16;10;7372800" "atmega128;0;1000000" "atmega16;18;16000000")
    list(GET run 0 chip)
    list(GET run 1 fosc)
    list(GET run 2 hz)
    fw_test(ch375.files.${chip}.${hz} ${FW_DIR}/ch375_case.sh $<TARGET_FILE:tamberlo-gen> ${FW_RUNNER} ${chip}
            ${FW_WORK}/ch375.files.${chip}.${hz} ${TAMBERLO_MKFS_FAT} ${TAMBERLO_MCOPY} ${fosc} ${hz})
  endforeach()
  # The SPI clock against the decoder's (before and after CLOCKF) at the
  # slowest and the fastest crystal.
  foreach(fosc 0 18)
    list(GET FW_CRYSTAL_HZ ${fosc} hz)
    fw_test(mp3.play.atmega128.${hz} ${FW_DIR}/mp3_case.sh $<TARGET_FILE:tamberlo-gen> ${FW_RUNNER} atmega128
            ${FW_WORK}/mp3.play.atmega128.${hz} ${TAMBERLO_MKFS_FAT} ${TAMBERLO_MCOPY} ${fosc} ${hz})
  endforeach()
  # A key of the ZLG7290's keypad pressed on the virtual board reaches the firmware.
  fw_test(zlg7290.key.board ${FW_DIR}/zlg7290_key_board.sh $<TARGET_FILE:tamberlo-sim> ${FW_WORK}/zlg7290.key.board)
  # The same demo on the virtual board, wired from the project's board
  # description and playing the board's own disk.
  fw_test(mp3.board.atmega128 ${FW_DIR}/mp3_board.sh $<TARGET_FILE:tamberlo-gen> $<TARGET_FILE:tamberlo-sim>
          ${FW_WORK}/mp3.board.atmega128)
else()
  message(STATUS "MP3 demo runs skipped: they need the simulator, mkfs.fat and mcopy "
                 "(scripts/deps.sh installs dosfstools and mtools)")
endif()

# Port F of the ATmega128 lies beyond the bit instructions' reach: its slots
# take longer and still keep the times. 0x07D0: 125 degrees, the top of the range.
fw_gen(ds18b20.run.portf.atmega128 atmega128 ${UART0} --set "Other APP.OneWire_use=1"
       --set "Other APP.Ds18b20_use=1" --set "Other APP.Ds18b20_port=5" --set "Other APP.Ds18b20_portno=7"
       -- 11000000 send 0 0x0C 3000000 send 0 0x0C 10000000 ds18b20 F:7 0x07D0
       silent 1 expect-gbk 0 "${b128}${ds_found}${ds_temp}1360\\r\\n${ds_temp}2000\\r\\n")
