/* A slave that an MCU reset left in the middle of a byte holds SDA low, and
   the TWI could never make a START. SCL is clocked by hand (driven low or
   let go) until the slave lets SDA go, nine times at most, then a STOP is
   made: SDA rising while SCL is high. */
static void $prefix$_bus_recover(void)
{
   unsigned char keep = TWCR & ((1<<TWEN)|(1<<TWIE));
   unsigned char n;
   TWCR = 0;                          /* the pins are plain I/O again */
   $PREFIX$_DDR(TW_SDA_PORT) &= ~TW_SDA_BIT;
   TW_SDA_PORT |= TW_SDA_BIT;         /* SDA let go, pulled up */
   for(n = 0; n < 9 && !($PREFIX$_PIN(TW_SDA_PORT) & TW_SDA_BIT); n++)
   {
      TW_SCL_PORT &= ~TW_SCL_BIT;     /* SCL low */
      $PREFIX$_DDR(TW_SCL_PORT) |= TW_SCL_BIT;
      $prefix$_wait_10us(1);
      $PREFIX$_DDR(TW_SCL_PORT) &= ~TW_SCL_BIT;
      TW_SCL_PORT |= TW_SCL_BIT;      /* SCL let go */
      $prefix$_wait_10us(1);
   }
   TW_SCL_PORT &= ~TW_SCL_BIT;        /* STOP: SCL low, SDA low, */
   $PREFIX$_DDR(TW_SCL_PORT) |= TW_SCL_BIT;
   TW_SDA_PORT &= ~TW_SDA_BIT;
   $PREFIX$_DDR(TW_SDA_PORT) |= TW_SDA_BIT;
   $prefix$_wait_10us(1);
   $PREFIX$_DDR(TW_SCL_PORT) &= ~TW_SCL_BIT;
   TW_SCL_PORT |= TW_SCL_BIT;         /* SCL high, */
   $prefix$_wait_10us(1);
   $PREFIX$_DDR(TW_SDA_PORT) &= ~TW_SDA_BIT;
   TW_SDA_PORT |= TW_SDA_BIT;         /* then SDA high */
   $prefix$_wait_10us(1);
   TWCR = keep;
}
