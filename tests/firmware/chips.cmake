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
