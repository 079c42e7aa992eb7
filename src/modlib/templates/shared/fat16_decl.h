//FAT操作结果
#define FAT_OK              0
#define FAT_ERR_CARD        1       //读卡失败
#define FAT_ERR_FORMAT      2       //不是FAT16格式(簇数4085~65524)或扇区不是512字节
#define FAT_ERR_NOT_FOUND   3       //根目录中没有该文件
#define FAT_ERR_NAME        4       //文件名不是8.3格式

//打开的文件
typedef struct
{
	unsigned int  first_cluster;    //文件的起始簇
	unsigned long size;             //文件长度(字节)
	unsigned int  cluster;          //当前簇
	unsigned char sector;           //当前簇内的扇区序号
	unsigned long position;         //已读出的字节数
	unsigned char error;            //读扇区失败或簇链损坏时为1（不是文件结束）
	unsigned int  seen;             //簇链成环的检测（Brent）：记下的簇、步数和下次记簇的步数
	unsigned int  steps;
	unsigned int  limit;
} FAT_FILE;

//初始化FAT16: 读MBR和引导扇区, 计算各区位置; 成功返回FAT_OK
unsigned char FAT_Init(void);
//在根目录中打开文件, name为"TEST.TXT"形式的8.3文件名(其它形式返回FAT_ERR_NAME); 成功返回FAT_OK;
//起始簇不在卷内或长度超过卷的数据区时返回FAT_ERR_FORMAT
unsigned char FAT_Open(const char *name, FAT_FILE *file);
//读文件的下一个扇区到BUFFER, 返回其中有效的字节数; 0表示文件已读完, 或出错(file->error为1)
unsigned int FAT_Read(FAT_FILE *file);
//返回簇号在FAT表中的下一个簇号, 0xFFF8以上表示文件结束; 卷外的簇或读失败返回0
unsigned int FAT_NextCluster(unsigned int cluster);
