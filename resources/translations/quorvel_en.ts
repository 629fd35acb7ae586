<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="zh_CN">
<context>
    <name>ChecksumDialog</name>
    <message>
        <source>计算校验码</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>16 CRC, 低字节在前</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>16 CRC, 高字节在前</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>总加和</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>加总异或</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>CRC32, 低字节在前</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>CRC32, 高字节在前</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CommandLine</name>
    <message>
        <source>Quorvel：用于测试和调试设备的串口终端。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>选择此端口：端口列表中的名称（ttyUSB0、COM3）或设备路径（/dev/serial/by-id/...、pty）。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>选择此波特率，可选：%1。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>启动时打开所选串口。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>界面语言：zh（简体中文，默认）或 en（英语），下次启动时沿用。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&apos;%1&apos; 不是可选的语言（zh、en）。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>意外的参数 &apos;%1&apos;。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>--port 需要端口名称或路径。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&apos;%1&apos; 不是列表中的波特率（%2）。</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>FindBar</name>
    <message>
        <source>区分大小写</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>在接收区中查找</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>上一个</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>查找上一个 (Shift+F3)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>下一个</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>查找下一个 (F3, Enter)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>关闭查找栏 (Esc)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>查找</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>无匹配</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 处匹配</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>清空接收区</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>更改文件</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>清空计数</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>串口参数</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>端口号</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>波特率</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>数据位</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>校验位</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>停止位</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>状态</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>计数器</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>发帧数</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>发字节数</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>收帧数</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>收字节数</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>文件行数</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>当前发送行</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>接收区设置</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>显示选项</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>关键字</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>发送区</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>发送区%1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>清空</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>手动发送</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Quorvel -- 串口通信调试工具</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>设备 %1 已断开，正在等待重新连接…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>设备 %1 已断开</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>串口错误</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>设备 %1 已重新出现，但暂时无法打开（%2），正在重试…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>设备 %1 已于 %2 重新连接</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>无</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>奇</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>偶</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>标记</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>空格</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>打开串口</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>发送 ●</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>接收 ●</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>错误</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>无法打开串口: </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>关闭串口</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>保存数据</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>保存接收数据</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>停止保存</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>无法打开文件: </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>选择保存文件</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>无法写入文件: </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>停止显示</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>继续显示</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>16进制</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>自动清</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>显示保存发送</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>显示保存时间</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>帧换行</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>关键字过滤接收</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>切换主题</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>[接收] </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>[发送] </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>只轮发一遍</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>选择发送文件</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>收到回答后发下一帧</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>定时</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>开始文件轮发</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>开始轮发</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>轮发参数</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>周期</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>超时时间</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>重发次数</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>发送区及发送文件轮发属性</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>发送区%1属性</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>发送周期</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>提示</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>请至少勾选一个发送区参加轮发</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>请先选择发送文件</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>校验</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>自动发</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>参加轮发</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>无法打开文件</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>输入内容无法解析为有效数据，请检查是否为正确格式的十六进制或文本。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>文件(&amp;F)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>更改保存文件…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>选择发送文件…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>退出(&amp;Q)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>编辑(&amp;E)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>查找…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>查找下一个</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>查找上一个</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>发送(&amp;S)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>发送当前发送区</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>发送 发送区%1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>开始/停止轮发</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>开始/停止文件轮发</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>视图(&amp;V)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>帮助(&amp;H)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>关于 Quorvel…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>关于 Qt…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>关于 Qt</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>下次启动时，界面将使用此语言。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>关于 Quorvel</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&lt;h3&gt;Quorvel %1&lt;/h3&gt;&lt;p&gt;用于测试和调试串口设备的桌面工具。&lt;/p&gt;&lt;p&gt;Quorvel 是自由软件，依据 GNU 通用公共许可证第 3 版或（由您选择）任何更高版本（GPL-3.0-or-later）发布，不提供任何担保。&lt;/p&gt;&lt;p&gt;基于 Qt %2。&lt;/p&gt;</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>PortComboBox</name>
    <message>
        <source>位置: </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>指向: </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>描述: </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>制造商: </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>序列号: </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>USB 厂商 ID: </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>USB 产品 ID: </source>
        <translation type="unfinished"></translation>
    </message>
</context>
</TS>
