<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="zh_CN">
<context>
    <name>qh::CASCII</name>
    <message>
        <source>输入</source>
        <translation>Input</translation>
    </message>
    <message>
        <source>粘贴</source>
        <translation>Paste</translation>
    </message>
    <message>
        <source>清除</source>
        <translation>Clear</translation>
    </message>
    <message>
        <source>如果要转换的字符包含非打印字符,请使用粘贴功能.</source>
        <translation>If the text holds non-printing characters, use Paste.</translation>
    </message>
    <message>
        <source>输出</source>
        <translation>Output</translation>
    </message>
    <message>
        <source>十进制</source>
        <translation>Decimal</translation>
    </message>
    <message>
        <source>十六进制</source>
        <translation>Hexadecimal</translation>
    </message>
    <message>
        <source>用小写输出</source>
        <translation>Lower-case output</translation>
    </message>
    <message>
        <source>编码</source>
        <translation>Encode</translation>
    </message>
    <message>
        <source>复制</source>
        <translation>Copy</translation>
    </message>
    <message>
        <source>保存</source>
        <translation>Save</translation>
    </message>
    <message>
        <source>进制:</source>
        <translation>Base:</translation>
    </message>
    <message>
        <source>定长:</source>
        <translation>Width:</translation>
    </message>
    <message>
        <source>前缀:</source>
        <translation>Prefix:</translation>
    </message>
    <message>
        <source>后缀:</source>
        <translation>Suffix:</translation>
    </message>
    <message>
        <source>Unicode 十进制</source>
        <translation>Unicode Decimal</translation>
    </message>
    <message>
        <source>Unicode 十六进制</source>
        <translation>Unicode Hexadecimal</translation>
    </message>
</context>
<context>
    <name>qh::CASCIIU</name>
    <message>
        <source>加载配置文件失败</source>
        <translation>Cannot load the settings file</translation>
    </message>
    <message>
        <source>写入文件错误.</source>
        <translation>Cannot write the file.</translation>
    </message>
    <message>
        <source>输入</source>
        <translation>Input</translation>
    </message>
    <message>
        <source>拷贝错误输入</source>
        <translation>Copy bad input</translation>
    </message>
    <message>
        <source>忽略错误输入</source>
        <translation>Skip bad input</translation>
    </message>
    <message>
        <source>进制:</source>
        <translation>Base:</translation>
    </message>
    <message>
        <source>前缀:</source>
        <translation>Prefix:</translation>
    </message>
    <message>
        <source>后缀:</source>
        <translation>Suffix:</translation>
    </message>
    <message>
        <source>设置</source>
        <translation>Setting</translation>
    </message>
    <message>
        <source>输出</source>
        <translation>Output</translation>
    </message>
    <message>
        <source>解    码</source>
        <translation>Decode</translation>
    </message>
    <message>
        <source>复制</source>
        <translation>Copy</translation>
    </message>
    <message>
        <source>保存</source>
        <translation>Save</translation>
    </message>
    <message>
        <source>  如果输出含有不可打印字符,使用复制和保存可以操作它</source>
        <translation>  Copy and Save take the output whole, non-printing characters too</translation>
    </message>
    <message>
        <source>显示错误信息</source>
        <translation>Show errors</translation>
    </message>
    <message>
        <source>十进制</source>
        <translation>Decimal</translation>
    </message>
    <message>
        <source>十六进制</source>
        <translation>Hexadecimal</translation>
    </message>
    <message>
        <source>名称 %1 已经存在,请输入其他名称!</source>
        <translation>The name %1 exists already: please enter another name!</translation>
    </message>
    <message>
        <source>名称</source>
        <translation>The name</translation>
    </message>
    <message>
        <source>前缀</source>
        <translation>The prefix</translation>
    </message>
    <message>
        <source>后缀</source>
        <translation>The suffix</translation>
    </message>
    <message>
        <source>%1中有换行, 不能保存到设置文件!</source>
        <translation>%1 holds a line break: it cannot be saved to the settings file!</translation>
    </message>
    <message>
        <source>%1太长, 不能保存到设置文件!</source>
        <translation>%1 is too long to be saved to the settings file!</translation>
    </message>
    <message>
        <source>Unicode 十进制</source>
        <translation>Unicode Decimal</translation>
    </message>
    <message>
        <source>Unicode 十六进制</source>
        <translation>Unicode Hexadecimal</translation>
    </message>
</context>
<context>
    <name>qh::CAboutHelp</name>
    <message>
        <source>安装</source>
        <translation>Install</translation>
    </message>
    <message>
        <source>使用</source>
        <translation>Use</translation>
    </message>
</context>
<context>
    <name>qh::CAboutMe</name>
    <message>
        <source>    如果你在使用此软件过程中发现了BUG ,或是有什么建议和意见，都欢迎你将信息反馈给我。我的联系方式是：</source>
        <translation>    If you find a bug in this program, or have a suggestion or an opinion, you are welcome to tell me. You can reach me at:</translation>
    </message>
    <message>
        <source>主页:</source>
        <translation>Home page:</translation>
    </message>
    <message>
        <source>邮箱:</source>
        <translation>E-mail:</translation>
    </message>
    <message>
        <source>信息反馈</source>
        <translation>Feedback</translation>
    </message>
    <message>
        <source>更多有关我个人的信息请访问:</source>
        <translation>More about me:</translation>
    </message>
</context>
<context>
    <name>qh::CAboutVer</name>
    <message>
        <source>程序所发布的第一个版本.测试版.完成了 ASCII, MD5, DES, BASE64 等编码算法.</source>
        <translation>The first release of the program, a beta: ASCII, MD5, DES, BASE64 and other algorithms.</translation>
    </message>
    <message>
        <source>增加 RSA 算法及其秘匙生成工具.</source>
        <translation>Adds RSA and its key generation tool.</translation>
    </message>
    <message>
        <source>增加 SHA 和 CRC 算法工具.</source>
        <translation>Adds the SHA and CRC tools.</translation>
    </message>
    <message>
        <source>Quillhorn发布的版本:</source>
        <translation>Releases of Quillhorn:</translation>
    </message>
</context>
<context>
    <name>qh::CBASE</name>
    <message>
        <source>文件</source>
        <translation>File</translation>
    </message>
    <message>
        <source>编码</source>
        <translation>Encode</translation>
    </message>
    <message>
        <source>解码</source>
        <translation>Decode</translation>
    </message>
    <message>
        <source>字符串</source>
        <translation>Text</translation>
    </message>
    <message>
        <source>加密成功!</source>
        <translation>Encoded successfully!</translation>
    </message>
    <message>
        <source>解密成功!</source>
        <translation>Decoded successfully!</translation>
    </message>
    <message>
        <source>不能打开文件 %1 !</source>
        <translation>Cannot open file %1 !</translation>
    </message>
    <message>
        <source>输入和输出不能是同一个文件!</source>
        <translation>Input and output cannot be the same file!</translation>
    </message>
    <message>
        <source>读写文件时出错!</source>
        <translation>Error while reading or writing the file!</translation>
    </message>
</context>
<context>
    <name>qh::CCRCDlg</name>
    <message>
        <source>输出</source>
        <translation>Output</translation>
    </message>
    <message>
        <source>十六进制</source>
        <translation>Hexadecimal</translation>
    </message>
    <message>
        <source>十进制</source>
        <translation>Decimal</translation>
    </message>
    <message>
        <source>二进制</source>
        <translation>Binary</translation>
    </message>
    <message>
        <source>计算</source>
        <translation>Compute</translation>
    </message>
</context>
<context>
    <name>qh::CDES</name>
    <message>
        <source>字节串形式</source>
        <translation>As bytes</translation>
    </message>
    <message>
        <source>随机产生</source>
        <translation>Random</translation>
    </message>
    <message>
        <source>密匙:</source>
        <translation>Key:</translation>
    </message>
    <message>
        <source>文件</source>
        <translation>File</translation>
    </message>
    <message>
        <source>加密</source>
        <translation>Encrypt</translation>
    </message>
    <message>
        <source>解密</source>
        <translation>Decrypt</translation>
    </message>
    <message>
        <source>字符串</source>
        <translation>Text</translation>
    </message>
    <message>
        <source>字节</source>
        <translation>Bytes</translation>
    </message>
    <message>
        <source>不能产生随机密匙!</source>
        <translation>Cannot make a random key!</translation>
    </message>
    <message>
        <source>密匙必须为 8 个字节.</source>
        <translation>The key must be 8 bytes.</translation>
    </message>
    <message>
        <source>加密出现错误!</source>
        <translation>Encryption error!</translation>
    </message>
    <message>
        <source>解密出现错误!可能是密文不是 8 byte 的整数倍.</source>
        <translation>Decryption error! The ciphertext may not be a multiple of 8 bytes.</translation>
    </message>
    <message>
        <source>输入和输出文件都不能为空!</source>
        <translation>Give both an input and an output file!</translation>
    </message>
    <message>
        <source>加密成功!</source>
        <translation>Encrypted successfully!</translation>
    </message>
    <message>
        <source>解密成功!</source>
        <translation>Decrypted successfully!</translation>
    </message>
    <message>
        <source>不能打开文件进行读入!</source>
        <translation>Cannot open the file for reading!</translation>
    </message>
    <message>
        <source>不能打开文件进行写入!</source>
        <translation>Cannot open the file for writing!</translation>
    </message>
    <message>
        <source>输入和输出不能是同一个文件!</source>
        <translation>Input and output cannot be the same file!</translation>
    </message>
    <message>
        <source>加密失败!</source>
        <translation>Encryption failed!</translation>
    </message>
    <message>
        <source>解密失败!</source>
        <translation>Decryption failed!</translation>
    </message>
</context>
<context>
    <name>qh::CMD5</name>
    <message>
        <source>输入</source>
        <translation>Input</translation>
    </message>
    <message>
        <source>文件</source>
        <translation>File</translation>
    </message>
    <message>
        <source>浏览</source>
        <translation>Browse</translation>
    </message>
    <message>
        <source>字符串</source>
        <translation>Text</translation>
    </message>
    <message>
        <source>散列值(如: AD 3E B2)</source>
        <translation>Hash value (e.g. AD 3E B2)</translation>
    </message>
    <message>
        <source>输出</source>
        <translation>Output</translation>
    </message>
    <message>
        <source>计算</source>
        <translation>Compute</translation>
    </message>
    <message>
        <source>16 位</source>
        <translation>16-digit</translation>
    </message>
    <message>
        <source>32 位</source>
        <translation>32-digit</translation>
    </message>
    <message>
        <source>大写</source>
        <translation>Upper</translation>
    </message>
    <message>
        <source>小写</source>
        <translation>Lower</translation>
    </message>
    <message>
        <source>散列值必须由十六进制数组成,用空格分隔.</source>
        <translation>A hash value is hexadecimal numbers separated by blanks.</translation>
    </message>
    <message>
        <source>输入格式错误!</source>
        <translation>Bad input format!</translation>
    </message>
</context>
<context>
    <name>qh::CRSA</name>
    <message>
        <source>n 须为不小于 3 的奇数.</source>
        <translation>n must be an odd number of at least 3.</translation>
    </message>
    <message>
        <source>e 须为大于 1 的奇数.</source>
        <translation>e must be an odd number above 1.</translation>
    </message>
    <message>
        <source>整数须小于 n.</source>
        <translation>The integer must be less than n.</translation>
    </message>
    <message>
        <source>n 是素数, 谁都能解密.</source>
        <translation>n is a prime: anyone could decrypt.</translation>
    </message>
    <message>
        <source>n 太小, 至少需要 113 位.</source>
        <translation>n is too small: it needs at least 113 bits.</translation>
    </message>
    <message>
        <source>密文已损坏或格式不对.</source>
        <translation>The ciphertext is damaged or in the wrong format.</translation>
    </message>
    <message>
        <source>密文不是用这个密匙加密的.</source>
        <translation>The ciphertext was not encrypted with this key.</translation>
    </message>
    <message>
        <source>不能读入输入文件.</source>
        <translation>Cannot read the input file.</translation>
    </message>
    <message>
        <source>不能写入输出文件.</source>
        <translation>Cannot write the output file.</translation>
    </message>
    <message>
        <source>输入和输出不能是同一个文件.</source>
        <translation>Input and output cannot be the same file.</translation>
    </message>
    <message>
        <source>加密失败!</source>
        <translation>Encryption failed! </translation>
    </message>
    <message>
        <source>解密失败!</source>
        <translation>Decryption failed! </translation>
    </message>
    <message>
        <source>没有可用的 RSA 组件.</source>
        <translation>No RSA component is available.</translation>
    </message>
    <message>
        <source>密匙</source>
        <translation>Key</translation>
    </message>
    <message>
        <source>十进制</source>
        <translation>Decimal</translation>
    </message>
    <message>
        <source>十六进制</source>
        <translation>Hexadecimal</translation>
    </message>
    <message>
        <source>粘贴</source>
        <translation>Paste</translation>
    </message>
    <message>
        <source>加密文件</source>
        <translation>Encrypt files</translation>
    </message>
    <message>
        <source>加密</source>
        <translation>Encrypt</translation>
    </message>
    <message>
        <source>解密</source>
        <translation>Decrypt</translation>
    </message>
    <message>
        <source>加密字串</source>
        <translation>Encrypt text</translation>
    </message>
    <message>
        <source>字符串</source>
        <translation>Text</translation>
    </message>
    <message>
        <source>十进制整数</source>
        <translation>Decimal integer</translation>
    </message>
    <message>
        <source>十六进制整数</source>
        <translation>Hex integer</translation>
    </message>
    <message>
        <source>(使用 n,e )</source>
        <translation>(uses n, e)</translation>
    </message>
    <message>
        <source>(使用 n,d )</source>
        <translation>(uses n, d)</translation>
    </message>
    <message>
        <source>%1 不是有效的十六进制数!</source>
        <translation>%1 is not a valid hexadecimal number!</translation>
    </message>
    <message>
        <source>%1 不是有效的十进制数!</source>
        <translation>%1 is not a valid decimal number!</translation>
    </message>
    <message>
        <source>粘贴的 %1 不是有效的十六进制数!</source>
        <translation>The pasted %1 is not a valid hexadecimal number!</translation>
    </message>
    <message>
        <source>输入文件不能为空!</source>
        <translation>Give an input file!</translation>
    </message>
    <message>
        <source>输出文件不能为空!</source>
        <translation>Give an output file!</translation>
    </message>
    <message>
        <source>n 或 e 不能为空!</source>
        <translation>n or e is empty!</translation>
    </message>
    <message>
        <source>n 或 d 不能为空!</source>
        <translation>n or d is empty!</translation>
    </message>
    <message>
        <source>加密成功!</source>
        <translation>Encrypted successfully!</translation>
    </message>
    <message>
        <source>解密成功!</source>
        <translation>Decrypted successfully!</translation>
    </message>
    <message>
        <source>输入不是有效的十进制整数!</source>
        <translation>The input is not a valid decimal integer!</translation>
    </message>
    <message>
        <source>输入不是有效的十六进制整数!</source>
        <translation>The input is not a valid hexadecimal integer!</translation>
    </message>
</context>
<context>
    <name>qh::CRSATool</name>
    <message>
        <source>数为空或不是有效的十六进制数</source>
        <translation>a number is empty or not valid hexadecimal</translation>
    </message>
    <message>
        <source>数值超出范围</source>
        <translation>a value is out of range</translation>
    </message>
    <message>
        <source>n 须为不小于 3 的奇数</source>
        <translation>n must be an odd number of at least 3</translation>
    </message>
    <message>
        <source>数值须小于 n</source>
        <translation>the value must be less than n</translation>
    </message>
    <message>
        <source>该数和 (p-1)(q-1) 不是互相素的</source>
        <translation>the number and (p-1)(q-1) are not coprime</translation>
    </message>
    <message>
        <source>内存不足或不能产生随机数</source>
        <translation>out of memory, or no random numbers to be had</translation>
    </message>
    <message>
        <source>错误代码 %1</source>
        <translation>error code %1</translation>
    </message>
    <message>
        <source>RSA 密匙生成工具</source>
        <translation>RSA key generator</translation>
    </message>
    <message>
        <source>生成全部</source>
        <translation>Generate all</translation>
    </message>
    <message>
        <source>拷贝结果</source>
        <translation>Copy result</translation>
    </message>
    <message>
        <source>检查结果</source>
        <translation>Check result</translation>
    </message>
    <message>
        <source>在线帮助</source>
        <translation>Online help</translation>
    </message>
    <message>
        <source>十进制显示</source>
        <translation>Decimal</translation>
    </message>
    <message>
        <source>十六进制显示</source>
        <translation>Hexadecimal</translation>
    </message>
    <message>
        <source>秘匙长度:</source>
        <translation>Key length:</translation>
    </message>
    <message>
        <source>p  (随机大素数):</source>
        <translation>p  (random large prime):</translation>
    </message>
    <message>
        <source>随机生成</source>
        <translation>Random</translation>
    </message>
    <message>
        <source>q  (随机大素数):</source>
        <translation>q  (random large prime):</translation>
    </message>
    <message>
        <source>计算</source>
        <translation>Compute</translation>
    </message>
    <message>
        <source>e (加密密匙):</source>
        <translation>e (encryption key):</translation>
    </message>
    <message>
        <source>随机选取</source>
        <translation>Random</translation>
    </message>
    <message>
        <source>据 d 计算</source>
        <translation>From d</translation>
    </message>
    <message>
        <source>d (解密密匙):</source>
        <translation>d (decryption key):</translation>
    </message>
    <message>
        <source>据 e 计算</source>
        <translation>From e</translation>
    </message>
    <message>
        <source>%1 不是有效的十进制数!</source>
        <translation>%1 is not a valid decimal number!</translation>
    </message>
    <message>
        <source>%1 不是有效的十六进制数!</source>
        <translation>%1 is not a valid hexadecimal number!</translation>
    </message>
    <message>
        <source>计算失败, 没有加载 RSA 组件!</source>
        <translation>Computation failed: no RSA component is loaded!</translation>
    </message>
    <message>
        <source>计算失败, %1!</source>
        <translation>Computation failed: %1!</translation>
    </message>
    <message>
        <source>计算失败, 秘匙长度不能超过 %1!</source>
        <translation>Computation failed: the key length cannot exceed %1!</translation>
    </message>
    <message>
        <source>检测成功, p 是素数!</source>
        <translation>Check passed: p is a prime!</translation>
    </message>
    <message>
        <source>检测失败, p 不是素数!</source>
        <translation>Check failed: p is not a prime!</translation>
    </message>
    <message>
        <source>检测成功, q 是素数!</source>
        <translation>Check passed: q is a prime!</translation>
    </message>
    <message>
        <source>检测失败, q 不是素数!</source>
        <translation>Check failed: q is not a prime!</translation>
    </message>
    <message>
        <source>检测成功!</source>
        <translation>Check passed!</translation>
    </message>
    <message>
        <source>检测失败,是否将 n 改为正确的值?</source>
        <translation>Check failed. Change n to the right value?</translation>
    </message>
    <message>
        <source>p,q,e 之一为空!</source>
        <translation>One of p, q, e is empty!</translation>
    </message>
    <message>
        <source>p,q,d 之一为空!</source>
        <translation>One of p, q, d is empty!</translation>
    </message>
    <message>
        <source>检测失败, e 和 (p-1)(q-1) 不是互相素的!</source>
        <translation>Check failed: e and (p-1)(q-1) are not coprime!</translation>
    </message>
    <message>
        <source>检测失败, d 和 (p-1)(q-1) 不是互相素的!</source>
        <translation>Check failed: d and (p-1)(q-1) are not coprime!</translation>
    </message>
    <message>
        <source>生成成功,尝试了 %1 次!</source>
        <translation>Generated in %1 attempts!</translation>
    </message>
    <message>
        <source>生成失败,请重试!</source>
        <translation>Generation failed, please try again!</translation>
    </message>
    <message>
        <source>检测失败!</source>
        <translation>Check failed!</translation>
    </message>
</context>
<context>
    <name>qh::CSHADlg</name>
    <message>
        <source>输出</source>
        <translation>Output</translation>
    </message>
    <message>
        <source>大写</source>
        <translation>Upper case</translation>
    </message>
    <message>
        <source>小写</source>
        <translation>Lower case</translation>
    </message>
    <message>
        <source>字节间用空格分割</source>
        <translation>Blanks between bytes</translation>
    </message>
    <message>
        <source>计算</source>
        <translation>Compute</translation>
    </message>
</context>
<context>
    <name>qh::CToolboxApp</name>
    <message>
        <source>初始化 RSA 组件失败!</source>
        <translation>Cannot initialise the RSA component!</translation>
    </message>
</context>
<context>
    <name>qh::CToolboxDlg</name>
    <message>
        <source>代码页:</source>
        <translation>Code page:</translation>
    </message>
    <message>
        <source>打字和粘贴的文字按这个代码页变成字节, 字节按它显示成文字</source>
        <translation>Typed and pasted text becomes bytes in this code page, and bytes show as text in it</translation>
    </message>
    <message>
        <source>不能保存代码页的选择: </source>
        <translation>Cannot save the code page choice: </translation>
    </message>
</context>
<context>
    <name>qh::CVerifyDlg</name>
    <message>
        <source>通过</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>失败</source>
        <translation>FAILED</translation>
    </message>
    <message>
        <source>缺失</source>
        <translation>missing</translation>
    </message>
    <message>
        <source>无法读取</source>
        <translation>unreadable</translation>
    </message>
    <message>
        <source>校验和文件(*SUMS *.md5 *.sha1 *.sha224 *.sha256 *.sha384 *.sha512 *.txt);;所有文件(*)</source>
        <translation>Checksum files (*SUMS *.md5 *.sha1 *.sha224 *.sha256 *.sha384 *.sha512 *.txt);;All files (*)</translation>
    </message>
    <message>
        <source>文件</source>
        <translation>File</translation>
    </message>
    <message>
        <source>添加文件</source>
        <translation>Add files</translation>
    </message>
    <message>
        <source>添加文件夹</source>
        <translation>Add folder</translation>
    </message>
    <message>
        <source>清除</source>
        <translation>Clear</translation>
    </message>
    <message>
        <source>计算</source>
        <translation>Compute</translation>
    </message>
    <message>
        <source>算法</source>
        <translation>Algorithms</translation>
    </message>
    <message>
        <source>复制</source>
        <translation>Copy</translation>
    </message>
    <message>
        <source>保存</source>
        <translation>Save</translation>
    </message>
    <message>
        <source>带标签格式</source>
        <translation>Tagged format</translation>
    </message>
    <message>
        <source>校验</source>
        <translation>Verify</translation>
    </message>
    <message>
        <source>粘贴期望的散列值, 或校验和文件中的一行</source>
        <translation>Paste an expected digest, or a line of a checksum file</translation>
    </message>
    <message>
        <source>打开校验和文件</source>
        <translation>Open checksum file</translation>
    </message>
    <message>
        <source>所有文件(*)</source>
        <translation>All files (*)</translation>
    </message>
    <message>
        <source>请先添加文件.</source>
        <translation>Add files first.</translation>
    </message>
    <message>
        <source>请至少选择一种算法.</source>
        <translation>Choose at least one algorithm.</translation>
    </message>
    <message>
        <source>%1 中没有格式正确的校验和行.</source>
        <translation>%1 has no well-formed checksum line.</translation>
    </message>
    <message>
        <source>大小</source>
        <translation>Size</translation>
    </message>
    <message>
        <source>结果</source>
        <translation>Result</translation>
    </message>
    <message>
        <source>%1 字节</source>
        <translation>%1 bytes</translation>
    </message>
    <message>
        <source>共 %1 个文件: %2 个通过, %3 个失败, %4 个缺失</source>
        <translation>%1 files: %2 OK, %3 FAILED, %4 missing</translation>
    </message>
    <message>
        <source>, %1 个无法读取</source>
        <translation>, %1 unreadable</translation>
    </message>
    <message>
        <source>, %1 行格式不对</source>
        <translation>, %1 malformed lines</translation>
    </message>
    <message>
        <source>期望值不是散列值.</source>
        <translation>The expected value is not a digest.</translation>
    </message>
    <message>
        <source>期望值与 %1 个文件相符.</source>
        <translation>The expected value matches %1 file(s).</translation>
    </message>
    <message>
        <source>没有文件与期望值相符.</source>
        <translation>No file matches the expected value.</translation>
    </message>
    <message>
        <source>没有可保存的散列值, 请先计算.</source>
        <translation>No digests to save yet; compute them first.</translation>
    </message>
</context>
<context>
    <name>qh::CXTOutBarCtrl</name>
    <message>
        <source>小图标</source>
        <translation>Small icons</translation>
    </message>
    <message>
        <source>大图标</source>
        <translation>Large icons</translation>
    </message>
</context>
<context>
    <name>qh::CodePageWarning</name>
    <message>
        <source>“%1” (%2) 不能用 %3 表示, 当作 ? 处理</source>
        <translation>“%1” (%2) cannot be written in %3; taken as ?</translation>
    </message>
</context>
<context>
    <name>qh::HashInput</name>
    <message>
        <source>字节串格式错误!</source>
        <translation>Bad byte string!</translation>
    </message>
    <message>
        <source>输入</source>
        <translation>Input</translation>
    </message>
    <message>
        <source>文件</source>
        <translation>File</translation>
    </message>
    <message>
        <source>字符串</source>
        <translation>Text</translation>
    </message>
    <message>
        <source>字节串</source>
        <translation>Byte string</translation>
    </message>
    <message>
        <source>浏览</source>
        <translation>Browse</translation>
    </message>
    <message>
        <source>不能打开文件 %1</source>
        <translation>Cannot open file %1</translation>
    </message>
</context>
<context>
    <name>qh::Navigation</name>
    <message>
        <source>字符编码转换</source>
        <translation>Character Codes</translation>
    </message>
    <message>
        <source>字符 --&gt; ASCII</source>
        <translation>Chars --&gt; ASCII</translation>
    </message>
    <message>
        <source>ASCII --&gt; 字符</source>
        <translation>ASCII --&gt; Chars</translation>
    </message>
    <message>
        <source>散列加密算法</source>
        <translation>Hash Algorithms</translation>
    </message>
    <message>
        <source>MD5 散列</source>
        <translation>MD5 Hash</translation>
    </message>
    <message>
        <source>SHA 散列</source>
        <translation>SHA Hash</translation>
    </message>
    <message>
        <source>CRC 校验</source>
        <translation>CRC Check</translation>
    </message>
    <message>
        <source>分组加密算法</source>
        <translation>Block Ciphers</translation>
    </message>
    <message>
        <source>DES 算法</source>
        <translation>DES Cipher</translation>
    </message>
    <message>
        <source>公开密匙算法</source>
        <translation>Public Key</translation>
    </message>
    <message>
        <source>RSA 算法</source>
        <translation>RSA Cipher</translation>
    </message>
    <message>
        <source> RSA 工具</source>
        <translation>RSA Tool</translation>
    </message>
    <message>
        <source>关于这个软件</source>
        <translation>About</translation>
    </message>
    <message>
        <source>版本</source>
        <translation>Versions</translation>
    </message>
    <message>
        <source>帮助</source>
        <translation>Help</translation>
    </message>
    <message>
        <source>作者</source>
        <translation>Author</translation>
    </message>
    <message>
        <source>校验文件</source>
        <translation>Verify Files</translation>
    </message>
</context>
<context>
    <name>qh::PaneJob</name>
    <message>
        <source>%1 秒</source>
        <translation>%1 s</translation>
    </message>
    <message>
        <source>%1 分 %2 秒</source>
        <translation>%1 min %2 s</translation>
    </message>
    <message>
        <source>%1 小时 %2 分</source>
        <translation>%1 h %2 min</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>, 剩余 %1</source>
        <translation>, %1 left</translation>
    </message>
</context>
<context>
    <name>qh::PaneServices</name>
    <message>
        <source>所有文件(*)</source>
        <translation>All files (*)</translation>
    </message>
    <message>
        <source>文本文件(*.txt);;数据文件(*.dat);;</source>
        <translation>Text files (*.txt);;Data files (*.dat);;</translation>
    </message>
    <message>
        <source>不能打开剪贴板.</source>
        <translation>Cannot open the clipboard.</translation>
    </message>
    <message>
        <source>不能打开文件 %1</source>
        <translation>Cannot open file %1</translation>
    </message>
</context>
<context>
    <name>qh::StringTable</name>
    <message>
        <source>    运行从压缩包解压后的 Setup.bat 文件即完成安装,卸载时先运行 Uninstall.bat 再删除程序目录即可.  <byte value="xd"/>
</source>
        <translation>    To install, run Setup.bat from the unpacked archive. To uninstall, run Uninstall.bat, then delete the program&apos;s folder.  <byte value="xd"/>
</translation>
    </message>
    <message>
        <source>    本软件改用在线帮助系统,请访问 %1 获取帮助.</source>
        <translation>    The help of this program is online now: visit %1 for help.</translation>
    </message>
</context>
<context>
    <name>qh::TextBytesView</name>
    <message>
        <source>%1 字节 (%2)</source>
        <translation>%1 bytes (%2)</translation>
    </message>
</context>
<context>
    <name>qh::ToolPane</name>
    <message>
        <source>内存不足, 操作没有完成!</source>
        <translation>Out of memory: the operation was not completed!</translation>
    </message>
    <message>
        <source>浏览</source>
        <translation>Browse</translation>
    </message>
    <message>
        <source>输入:</source>
        <translation>Input:</translation>
    </message>
    <message>
        <source>输出:</source>
        <translation>Output:</translation>
    </message>
</context>
</TS>
