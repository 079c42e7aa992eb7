/* Waits at least n x 10 us, whatever the compiler: the counter is volatile,
   so one round of the loop reads and writes both its bytes, no fewer than
   8 cycles */
static void $prefix$_wait_10us(unsigned int n)
{
   volatile unsigned int rounds;
   while(n--)
      for(rounds = (unsigned int)(XTAL_HZ / 800000UL + 1); rounds; rounds--)
         ;
}
