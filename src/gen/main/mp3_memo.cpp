// SPDX-License-Identifier: GPL-3.0-or-later
// The MP3Memo template holder: the playback routine that main.c carries when
// the VS1003 is used. It reads a file from the USB disk through the CH375
// file library and feeds it to the decoder; five keys on port E steer it.
#include "gen/main/main_code.h"

namespace tamberlo {

const std::string& MP3Memo() {
  static const std::string text = R"(//-----------------------------------------------------------
//播放U盘上的一首MP3歌曲，s为文件名（如"/SONG01.MP3"）
//按键：STOP暂停/继续，VOLDOWN/VOLUP调音量，NEXTSONG下一首，PREVSONG上一首
//-----------------------------------------------------------
void mp3_play(char *s)
{
   unsigned char status;
   unsigned char burst;
   unsigned int  sent;
   unsigned int  idle;
   unsigned int  chunk;
   unsigned long left;
   char size_text[12];

   strcpy((char *)mCmdParam.Open.mPathName,s);
   status=CH375FileOpen();                      //打开文件
   if(status!=ERR_SUCCESS)
      return;
   status=CH375FileQuery();                     //查询文件长度
   if(status!=ERR_SUCCESS)
   {
      CH375FileClose();
      return;
   }
   left=mCmdParam.Modify.mFileSize;
   sprintf(size_text,"%lu",left);
   LCD16xx_clr();
   LCD16xx_write_string(0,0,"SongSize:");
   LCD16xx_write_string(9,0,size_text);
   LCD16xx_write_string(0,1,"Playing....");

   while(1)
   {
      if(!flag)                                 //暂停时不读文件
      {
         if(left==0)
            break;                              //文件已播放完
         mCmdParam.Read.mSectorCount=1;         //每次读一个扇区（512字节）
         status=CH375FileRead();
         if(status!=ERR_SUCCESS||mCmdParam.Read.mSectorCount==0)
            break;
         chunk=(left<512)?(unsigned int)left:512;
         left-=chunk;
         sent=0;
         idle=0;
         while(sent<chunk)
         {
            //DREQ为高时VS1003至少能再接收32字节
            if(VS1003_DREQ_PIN&VS1003_DREQ_BIT)
            {
               idle=0;
               for(burst=0;burst<32&&sent<chunk;burst++)
                  VS1003_data_write(FILE_DATA_BUF[sent++]);
            }
            else if(++idle>20000)                  //DREQ久不变高（解码器不在）：不再死等
               break;
            else
               delay_nus(10);
         }
         if(sent<chunk)
            break;
      }

      //按键低电平有效，延时250us消抖
      if((PINE&STOP)==0)
      {
         delay_nus(250);
         if((PINE&STOP)==0)
         {
            flag=!flag;
            while((PINE&STOP)==0);
         }
      }
      if((PINE&VOLDOWN)==0)
      {
         delay_nus(250);
         if((PINE&VOLDOWN)==0)
         {
            vol+=0x0202;                        //数值越大音量越小
            if(vol>0xF0F0)
               vol=0xF0F0;
            else
               VS1003_cmd_write(0x0B,vol);
            while((PINE&VOLDOWN)==0);
         }
      }
      if((PINE&VOLUP)==0)
      {
         delay_nus(250);
         if((PINE&VOLUP)==0)
         {
            vol-=0x0202;
            if(vol<0x0505)
               vol=0x0505;
            else
               VS1003_cmd_write(0x0B,vol);
            while((PINE&VOLUP)==0);
         }
      }
      if((PINE&NEXTSONG)==0)
      {
         delay_nus(250);
         if((PINE&NEXTSONG)==0)
         {
            while((PINE&NEXTSONG)==0);
            break;
         }
      }
      if((PINE&PREVSONG)==0)
      {
         delay_nus(250);
         if((PINE&PREVSONG)==0)
         {
            //调用者播完一首后加1，所以退两首才是上一首
            if((unsigned char)c<2)
               c=255;
            else
               c-=2;
            while((PINE&PREVSONG)==0);
            break;
         }
      }
   }
   CH375FileClose();                            //关闭文件
}
)";
  return text;
}

}  // namespace tamberlo
