<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="zh_CN">
<context>
    <name>ChecksumDialog</name>
    <message>
        <source>计算校验码</source>
        <translation>Compute checksum</translation>
    </message>
    <message>
        <source>16 CRC, 低字节在前</source>
        <translation>CRC-16, low byte first</translation>
    </message>
    <message>
        <source>16 CRC, 高字节在前</source>
        <translation>CRC-16, high byte first</translation>
    </message>
    <message>
        <source>总加和</source>
        <translation>Sum (8-bit)</translation>
    </message>
    <message>
        <source>加总异或</source>
        <translation>XOR (8-bit)</translation>
    </message>
    <message>
        <source>CRC32, 低字节在前</source>
        <translation>CRC-32, low byte first</translation>
    </message>
    <message>
        <source>CRC32, 高字节在前</source>
        <translation>CRC-32, high byte first</translation>
    </message>
</context>
<context>
    <name>CommandLine</name>
    <message>
        <source>Quorvel：用于测试和调试设备的串口终端。</source>
        <translation>Quorvel: a serial port terminal for testing and debugging devices.</translation>
    </message>
    <message>
        <source>启动时打开所选串口。</source>
        <translation>Open the port at start.</translation>
    </message>
    <message>
        <source>界面语言：zh（简体中文，默认）或 en（英语），下次启动时沿用。</source>
        <translation>Interface language: zh (Simplified Chinese, the default) or en (English); kept for the next starts.</translation>
    </message>
    <message>
        <source>&apos;%1&apos; 不是可选的语言（zh、en）。</source>
        <translation>&apos;%1&apos; is not a language of the list (zh, en).</translation>
    </message>
    <message>
        <source>意外的参数 &apos;%1&apos;。</source>
        <translation>unexpected argument &apos;%1&apos;.</translation>
    </message>
    <message>
        <source>--port 需要端口名称或路径。</source>
        <translation>--port needs a port name or path.</translation>
    </message>
    <message>
        <source>选择此波特率：%1 到 %2 之间的任一整数，如列表中的 %3。</source>
        <translation>Select this baud rate: any whole number from %1 to %2, such as the listed %3.</translation>
    </message>
    <message>
        <source>&apos;%1&apos; 不是 %2 到 %3 之间的波特率。</source>
        <translation>&apos;%1&apos; is not a baud rate from %2 to %3.</translation>
    </message>
    <message>
        <source>选择此端口：端口列表中的名称（ttyUSB0、COM3）、设备路径（/dev/serial/by-id/...、pty）或网络端口（rfc2217://主机:端口、socket://主机:端口）。</source>
        <translation>Select this port: a name from the port list (ttyUSB0, COM3), a device path (/dev/serial/by-id/..., a pty) or a network port (rfc2217://HOST:PORT, socket://HOST:PORT).</translation>
    </message>
</context>
<context>
    <name>FindBar</name>
    <message>
        <source>区分大小写</source>
        <translation>Match case</translation>
    </message>
    <message>
        <source>在接收区中查找</source>
        <translation>Find in the receive pane</translation>
    </message>
    <message>
        <source>上一个</source>
        <translation>Previous</translation>
    </message>
    <message>
        <source>查找上一个 (Shift+F3)</source>
        <translation>Find previous (Shift+F3)</translation>
    </message>
    <message>
        <source>下一个</source>
        <translation>Next</translation>
    </message>
    <message>
        <source>查找下一个 (F3, Enter)</source>
        <translation>Find next (F3, Enter)</translation>
    </message>
    <message>
        <source>关闭查找栏 (Esc)</source>
        <translation>Close the find bar (Esc)</translation>
    </message>
    <message>
        <source>查找</source>
        <translation>Find</translation>
    </message>
    <message>
        <source>无匹配</source>
        <translation>No matches</translation>
    </message>
    <message>
        <source>%1 处匹配</source>
        <translation>Matches: %1</translation>
    </message>
</context>
<context>
    <name>LineControl</name>
    <message>
        <source>此端口无法设置流控</source>
        <translation>This port cannot set flow control</translation>
    </message>
    <message>
        <source>此端口无法发送断开信号</source>
        <translation>This port cannot send a break</translation>
    </message>
    <message>
        <source>已发送 %1 ms 断开信号</source>
        <translation>Sent a break of %1 ms</translation>
    </message>
    <message>
        <source>此端口无法设置 DTR/RTS，线路保持原状</source>
        <translation>This port cannot set DTR/RTS; the lines stay as they are</translation>
    </message>
</context>
<context>
    <name>LineToolBar</name>
    <message>
        <source>无</source>
        <translation>None</translation>
    </message>
    <message>
        <source>RTS/CTS</source>
        <translation>RTS/CTS</translation>
    </message>
    <message>
        <source>XON/XOFF</source>
        <translation>XON/XOFF</translation>
    </message>
    <message>
        <source>CR</source>
        <translation>CR</translation>
    </message>
    <message>
        <source>LF</source>
        <translation>LF</translation>
    </message>
    <message>
        <source>CR LF</source>
        <translation>CR LF</translation>
    </message>
    <message>
        <source>线路</source>
        <translation>Line</translation>
    </message>
    <message>
        <source>DTR</source>
        <translation>DTR</translation>
    </message>
    <message>
        <source>数据终端就绪（DTR）：勾选为有效。许多开发板经 DTR 和 RTS 复位或进入下载模式</source>
        <translation>Data Terminal Ready (DTR): ticked is asserted. Many boards are reset or put into their boot loader through DTR and RTS</translation>
    </message>
    <message>
        <source>RTS</source>
        <translation>RTS</translation>
    </message>
    <message>
        <source>请求发送（RTS）：勾选为有效；RTS/CTS 流控时由驱动控制</source>
        <translation>Request To Send (RTS): ticked is asserted; under RTS/CTS flow control the driver sets it</translation>
    </message>
    <message>
        <source>断开信号</source>
        <translation>Break</translation>
    </message>
    <message>
        <source>在线路上保持断开信号（Break）%1 毫秒</source>
        <translation>Holds a break on the line for %1 ms</translation>
    </message>
    <message>
        <source>文本发送时附加在每帧之后；16进制发送不变</source>
        <translation>Appended to every frame sent as text; hexadecimal sends are unchanged</translation>
    </message>
    <message>
        <source>流控</source>
        <translation>Flow control</translation>
    </message>
    <message>
        <source>行尾</source>
        <translation>Line ending</translation>
    </message>
    <message>
        <source>CTS</source>
        <translation>CTS</translation>
    </message>
    <message>
        <source>清除发送（CTS）</source>
        <translation>Clear To Send (CTS)</translation>
    </message>
    <message>
        <source>DSR</source>
        <translation>DSR</translation>
    </message>
    <message>
        <source>数据设备就绪（DSR）</source>
        <translation>Data Set Ready (DSR)</translation>
    </message>
    <message>
        <source>DCD</source>
        <translation>DCD</translation>
    </message>
    <message>
        <source>载波检测（DCD）</source>
        <translation>Data Carrier Detect (DCD)</translation>
    </message>
    <message>
        <source>RI</source>
        <translation>RI</translation>
    </message>
    <message>
        <source>振铃指示（RI）</source>
        <translation>Ring Indicator (RI)</translation>
    </message>
    <message>
        <source>%1：亮为有效；灰色为无效、端口未打开或端口无法报告</source>
        <translation>%1: lit when asserted; grey when not, when the port is closed or cannot tell</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>清空接收区</source>
        <translation>Clear</translation>
    </message>
    <message>
        <source>更改文件</source>
        <translation>File…</translation>
    </message>
    <message>
        <source>清空计数</source>
        <translation>Reset</translation>
    </message>
    <message>
        <source>串口参数</source>
        <translation>Serial port</translation>
    </message>
    <message>
        <source>端口号</source>
        <translation>Port</translation>
    </message>
    <message>
        <source>波特率</source>
        <translation>Baud</translation>
    </message>
    <message>
        <source>数据位</source>
        <translation>Data</translation>
    </message>
    <message>
        <source>校验位</source>
        <translation>Parity</translation>
    </message>
    <message>
        <source>停止位</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>状态</source>
        <translation>State</translation>
    </message>
    <message>
        <source>计数器</source>
        <translation>Counters</translation>
    </message>
    <message>
        <source>发帧数</source>
        <translation>TX frames</translation>
    </message>
    <message>
        <source>发字节数</source>
        <translation>TX bytes</translation>
    </message>
    <message>
        <source>收帧数</source>
        <translation>RX frames</translation>
    </message>
    <message>
        <source>收字节数</source>
        <translation>RX bytes</translation>
    </message>
    <message>
        <source>文件行数</source>
        <translation>File lines</translation>
    </message>
    <message>
        <source>当前发送行</source>
        <translation>Current line</translation>
    </message>
    <message>
        <source>接收区设置</source>
        <translation>Receive pane</translation>
    </message>
    <message>
        <source>显示选项</source>
        <translation>Display</translation>
    </message>
    <message>
        <source>关键字</source>
        <translation>Keyword</translation>
    </message>
    <message>
        <source>发送区</source>
        <translation>Send</translation>
    </message>
    <message>
        <source>发送区%1</source>
        <translation>Send area %1</translation>
    </message>
    <message>
        <source>清空</source>
        <translation>Clear</translation>
    </message>
    <message>
        <source>手动发送</source>
        <translation>Send</translation>
    </message>
    <message>
        <source>Quorvel -- 串口通信调试工具</source>
        <translation>Quorvel -- Serial Port Debugging Tool</translation>
    </message>
    <message>
        <source>设备 %1 已断开，正在等待重新连接…</source>
        <translation>Device %1 disconnected, waiting for it to return…</translation>
    </message>
    <message>
        <source>设备 %1 已断开</source>
        <translation>Device %1 disconnected</translation>
    </message>
    <message>
        <source>串口错误</source>
        <translation>Serial port error</translation>
    </message>
    <message>
        <source>设备 %1 已重新出现，但暂时无法打开（%2），正在重试…</source>
        <translation>Device %1 is back but cannot be opened yet (%2), retrying…</translation>
    </message>
    <message>
        <source>设备 %1 已于 %2 重新连接</source>
        <translation>Device %1 reconnected at %2</translation>
    </message>
    <message>
        <source>无</source>
        <translation>None</translation>
    </message>
    <message>
        <source>奇</source>
        <translation>Odd</translation>
    </message>
    <message>
        <source>偶</source>
        <translation>Even</translation>
    </message>
    <message>
        <source>标记</source>
        <translation>Mark</translation>
    </message>
    <message>
        <source>空格</source>
        <translation>Space</translation>
    </message>
    <message>
        <source>打开串口</source>
        <translation>Open port</translation>
    </message>
    <message>
        <source>发送 ●</source>
        <translation>TX ●</translation>
    </message>
    <message>
        <source>接收 ●</source>
        <translation>RX ●</translation>
    </message>
    <message>
        <source>错误</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>无法打开串口: </source>
        <translation>Cannot open the port: </translation>
    </message>
    <message>
        <source>关闭串口</source>
        <translation>Close port</translation>
    </message>
    <message>
        <source>保存数据</source>
        <translation>Capture</translation>
    </message>
    <message>
        <source>保存接收数据</source>
        <translation>Capture the traffic to</translation>
    </message>
    <message>
        <source>停止保存</source>
        <translation>Stop capture</translation>
    </message>
    <message>
        <source>无法打开文件: </source>
        <translation>Cannot open the file: </translation>
    </message>
    <message>
        <source>选择保存文件</source>
        <translation>Choose the capture file</translation>
    </message>
    <message>
        <source>无法写入文件: </source>
        <translation>Cannot write the file: </translation>
    </message>
    <message>
        <source>停止显示</source>
        <translation>Pause</translation>
    </message>
    <message>
        <source>继续显示</source>
        <translation>Resume</translation>
    </message>
    <message>
        <source>16进制</source>
        <translation>Hex</translation>
    </message>
    <message>
        <source>自动清</source>
        <translation>Wipe</translation>
    </message>
    <message>
        <source>显示保存发送</source>
        <translation>Direction tags</translation>
    </message>
    <message>
        <source>显示保存时间</source>
        <translation>Time stamps</translation>
    </message>
    <message>
        <source>帧换行</source>
        <translation>Line per frame</translation>
    </message>
    <message>
        <source>关键字过滤接收</source>
        <translation>Keyword filter</translation>
    </message>
    <message>
        <source>切换主题</source>
        <translation>Switch theme</translation>
    </message>
    <message>
        <source>[接收] </source>
        <translation>[RX] </translation>
    </message>
    <message>
        <source>[发送] </source>
        <translation>[TX] </translation>
    </message>
    <message>
        <source>只轮发一遍</source>
        <translation>Only once</translation>
    </message>
    <message>
        <source>选择发送文件</source>
        <translation>Send file…</translation>
    </message>
    <message>
        <source>收到回答后发下一帧</source>
        <translation>On answer</translation>
    </message>
    <message>
        <source>定时</source>
        <translation>Timed</translation>
    </message>
    <message>
        <source>开始文件轮发</source>
        <translation>Rotate file</translation>
    </message>
    <message>
        <source>开始轮发</source>
        <translation>Rotate areas</translation>
    </message>
    <message>
        <source>轮发参数</source>
        <translation>Rotation</translation>
    </message>
    <message>
        <source>周期</source>
        <translation>Period</translation>
    </message>
    <message>
        <source>超时时间</source>
        <translation>Time-out</translation>
    </message>
    <message>
        <source>重发次数</source>
        <translation>Retries</translation>
    </message>
    <message>
        <source>发送区及发送文件轮发属性</source>
        <translation>Rotation of the send areas and the send file</translation>
    </message>
    <message>
        <source>发送区%1属性</source>
        <translation>Send area %1</translation>
    </message>
    <message>
        <source>发送周期</source>
        <translation>Period</translation>
    </message>
    <message>
        <source>提示</source>
        <translation>Note</translation>
    </message>
    <message>
        <source>请至少勾选一个发送区参加轮发</source>
        <translation>Tick &quot;In rotation&quot; for at least one send area.</translation>
    </message>
    <message>
        <source>请先选择发送文件</source>
        <translation>Choose a send file first.</translation>
    </message>
    <message>
        <source>校验</source>
        <translation>Checksum</translation>
    </message>
    <message>
        <source>自动发</source>
        <translation>Periodic</translation>
    </message>
    <message>
        <source>参加轮发</source>
        <translation>Rotate</translation>
    </message>
    <message>
        <source>无法打开文件</source>
        <translation>Cannot open the file</translation>
    </message>
    <message>
        <source>输入内容无法解析为有效数据，请检查是否为正确格式的十六进制或文本。</source>
        <translation>The content cannot be read as data: check that it is well-formed hexadecimal or text.</translation>
    </message>
    <message>
        <source>文件(&amp;F)</source>
        <translation>&amp;File</translation>
    </message>
    <message>
        <source>更改保存文件…</source>
        <translation>Change capture file…</translation>
    </message>
    <message>
        <source>选择发送文件…</source>
        <translation>Choose send file…</translation>
    </message>
    <message>
        <source>退出(&amp;Q)</source>
        <translation>&amp;Quit</translation>
    </message>
    <message>
        <source>编辑(&amp;E)</source>
        <translation>&amp;Edit</translation>
    </message>
    <message>
        <source>查找…</source>
        <translation>Find…</translation>
    </message>
    <message>
        <source>查找下一个</source>
        <translation>Find next</translation>
    </message>
    <message>
        <source>查找上一个</source>
        <translation>Find previous</translation>
    </message>
    <message>
        <source>发送(&amp;S)</source>
        <translation>&amp;Send</translation>
    </message>
    <message>
        <source>发送当前发送区</source>
        <translation>Send the focused area</translation>
    </message>
    <message>
        <source>发送 发送区%1</source>
        <translation>Send area %1</translation>
    </message>
    <message>
        <source>开始/停止轮发</source>
        <translation>Start/stop rotation</translation>
    </message>
    <message>
        <source>开始/停止文件轮发</source>
        <translation>Start/stop file rotation</translation>
    </message>
    <message>
        <source>视图(&amp;V)</source>
        <translation>&amp;View</translation>
    </message>
    <message>
        <source>帮助(&amp;H)</source>
        <translation>&amp;Help</translation>
    </message>
    <message>
        <source>关于 Quorvel…</source>
        <translation>About Quorvel…</translation>
    </message>
    <message>
        <source>关于 Qt…</source>
        <translation>About Qt…</translation>
    </message>
    <message>
        <source>关于 Qt</source>
        <translation>About Qt</translation>
    </message>
    <message>
        <source>下次启动时，界面将使用此语言。</source>
        <translation>The interface will use this language from the next start.</translation>
    </message>
    <message>
        <source>关于 Quorvel</source>
        <translation>About Quorvel</translation>
    </message>
    <message>
        <source>&lt;h3&gt;Quorvel %1&lt;/h3&gt;&lt;p&gt;用于测试和调试串口设备的桌面工具。&lt;/p&gt;&lt;p&gt;Quorvel 是自由软件，依据 GNU 通用公共许可证第 3 版或（由您选择）任何更高版本（GPL-3.0-or-later）发布，不提供任何担保。&lt;/p&gt;&lt;p&gt;基于 Qt %2。&lt;/p&gt;</source>
        <translation>&lt;h3&gt;Quorvel %1&lt;/h3&gt;&lt;p&gt;A desktop tool for testing and debugging devices on a serial line.&lt;/p&gt;&lt;p&gt;Quorvel is free software under the GNU General Public License, version 3 or (at your option) any later version (GPL-3.0-or-later), without any warranty.&lt;/p&gt;&lt;p&gt;Built on Qt %2.&lt;/p&gt;</translation>
    </message>
    <message>
        <source>%1 上出现的是另一个设备（%2），未打开；仍在等待原设备</source>
        <translation>Another device (%2) appeared at %1 and was not opened; still waiting for the first one</translation>
    </message>
    <message>
        <source>选择或输入 %1 到 %2 之间的任一波特率</source>
        <translation>Choose or type any baud rate from %1 to %2</translation>
    </message>
    <message>
        <source>波特率须为 %1 到 %2 之间的整数</source>
        <translation>the baud rate must be a whole number from %1 to %2</translation>
    </message>
    <message>
        <source> ms</source>
        <translation> ms</translation>
    </message>
    <message>
        <source>收到的字节之间静默达到此时长才算一帧结束；0 表示每次读取即为一帧</source>
        <translation>A frame ends when the received bytes pause this long; 0 makes every read a frame</translation>
    </message>
    <message>
        <source>帧间隔</source>
        <translation>Frame gap</translation>
    </message>
    <message>
        <source>线路跟不上：前面的数据尚未发完，已跳过 %1 次定时发送</source>
        <translation>The line cannot keep up: earlier data is still being sent; %1 periodic sends skipped</translation>
    </message>
    <message>
        <source>正在连接 %1…</source>
        <translation>Connecting to %1…</translation>
    </message>
</context>
<context>
    <name>NetworkAddress</name>
    <message>
        <source>“%1”不是网络端口名：须为 rfc2217://主机:端口 或 socket://主机:端口</source>
        <translation>“%1” is not a network port name: it must be rfc2217://HOST:PORT or socket://HOST:PORT</translation>
    </message>
    <message>
        <source>网络端口 %1 的 IPv6 地址缺少“]”</source>
        <translation>The IPv6 address of network port %1 lacks its “]”</translation>
    </message>
    <message>
        <source>网络端口 %1 的“%2”不是 IPv6 地址</source>
        <translation>“%2” in network port %1 is not an IPv6 address</translation>
    </message>
    <message>
        <source>网络端口 %1 的“]”之后须为“:端口”</source>
        <translation>In network port %1, “]” must be followed by “:PORT”</translation>
    </message>
    <message>
        <source>网络端口 %1 的 IPv6 地址须写在方括号中，如 rfc2217://[::1]:2000</source>
        <translation>The IPv6 address of network port %1 must be in brackets, as in rfc2217://[::1]:2000</translation>
    </message>
    <message>
        <source>网络端口 %1 缺少主机名</source>
        <translation>Network port %1 lacks a host name</translation>
    </message>
    <message>
        <source>网络端口 %1 的主机“%2”无效</source>
        <translation>The host “%2” of network port %1 is not valid</translation>
    </message>
    <message>
        <source>网络端口 %1 缺少端口号，如 %2:2000</source>
        <translation>Network port %1 lacks a port number, as in %2:2000</translation>
    </message>
    <message>
        <source>网络端口 %1 的端口号须为 1 到 65535 之间的整数</source>
        <translation>The port number of network port %1 must be a whole number from 1 to 65535</translation>
    </message>
</context>
<context>
    <name>NetworkLink</name>
    <message>
        <source>波特率</source>
        <translation>baud rate</translation>
    </message>
    <message>
        <source>数据位</source>
        <translation>data bits</translation>
    </message>
    <message>
        <source>校验位</source>
        <translation>parity</translation>
    </message>
    <message>
        <source>停止位</source>
        <translation>stop bits</translation>
    </message>
    <message>
        <source>流控</source>
        <translation>flow control</translation>
    </message>
    <message>
        <source>断开信号</source>
        <translation>break</translation>
    </message>
    <message>
        <source>未指定网络端口的地址</source>
        <translation>No address given for the network port</translation>
    </message>
    <message>
        <source>连接已断开</source>
        <translation>The connection is lost</translation>
    </message>
    <message>
        <source>%1 是原始 TCP 连接：波特率等线路参数由服务器决定，此处的设置不会发送</source>
        <translation>%1 is a raw TCP connection: the server decides the baud rate and the other line settings; the settings here are not sent</translation>
    </message>
    <message>
        <source>%1 不支持 RFC 2217 串口控制：线路参数与控制线由服务器决定</source>
        <translation>%1 does not support RFC 2217 port control: the server decides the line settings and the control lines</translation>
    </message>
    <message>
        <source>%1 未确认以下设置：%2；连接照常工作</source>
        <translation>%1 did not confirm these settings: %2; the connection works as before</translation>
    </message>
    <message>
        <source>、</source>
        <translation>, </translation>
    </message>
    <message>
        <source>%1 秒内未连上</source>
        <translation>no connection within %1 s</translation>
    </message>
    <message>
        <source>服务器未应答 telnet 协商；若它只转发字节，请用 socket://</source>
        <translation>the server did not answer the telnet negotiation; if it only passes bytes on, use socket://</translation>
    </message>
    <message>
        <source>与 %1 的连接已断开（%2）</source>
        <translation>The connection to %1 is lost (%2)</translation>
    </message>
    <message>
        <source>无法连接 %1：%2</source>
        <translation>Cannot connect to %1: %2</translation>
    </message>
    <message>
        <source>连接被拒绝，该端口没有服务在监听</source>
        <translation>connection refused, nothing listens on that port</translation>
    </message>
    <message>
        <source>对方关闭了连接</source>
        <translation>the server closed the connection</translation>
    </message>
    <message>
        <source>找不到该主机</source>
        <translation>host not found</translation>
    </message>
    <message>
        <source>网络不可达</source>
        <translation>network unreachable</translation>
    </message>
    <message>
        <source>连接超时</source>
        <translation>connection timed out</translation>
    </message>
</context>
<context>
    <name>NetworkPortDialog</name>
    <message>
        <source>网络端口</source>
        <translation>Network port</translation>
    </message>
    <message>
        <source>主机名或 IP 地址</source>
        <translation>Host name or IP address</translation>
    </message>
    <message>
        <source>RFC 2217（线路参数随之设置）</source>
        <translation>RFC 2217 (line settings travel too)</translation>
    </message>
    <message>
        <source>原始 TCP（仅传字节）</source>
        <translation>Raw TCP (bytes only)</translation>
    </message>
    <message>
        <source>主机</source>
        <translation>Host</translation>
    </message>
    <message>
        <source>端口</source>
        <translation>Port</translation>
    </message>
    <message>
        <source>协议</source>
        <translation>Protocol</translation>
    </message>
    <message>
        <source>错误</source>
        <translation>Error</translation>
    </message>
</context>
<context>
    <name>PlotFeed</name>
    <message>
        <source>波形图最多画 %1 个通道，其余通道的数值已忽略</source>
        <translation>The plot draws at most %1 channels; the values of further channels are ignored</translation>
    </message>
</context>
<context>
    <name>PlotPanel</name>
    <message>
        <source>波形图</source>
        <translation>Plot</translation>
    </message>
    <message>
        <source>暂停</source>
        <translation>Pause</translation>
    </message>
    <message>
        <source>暂停绘图；数据照常记录</source>
        <translation>Pause drawing; samples are still kept</translation>
    </message>
    <message>
        <source>跟随</source>
        <translation>Follow</translation>
    </message>
    <message>
        <source>显示最新的数据；滚轮缩放或拖动后停在原处</source>
        <translation>Show the newest samples; after a wheel zoom or a drag the view stays where it is</translation>
    </message>
    <message>
        <source>清空</source>
        <translation>Clear</translation>
    </message>
    <message>
        <source>导出图片…</source>
        <translation>Export Image…</translation>
    </message>
    <message>
        <source>导出数据…</source>
        <translation>Export Data…</translation>
    </message>
    <message>
        <source>时间窗</source>
        <translation>Time window</translation>
    </message>
    <message>
        <source> s</source>
        <translation> s</translation>
    </message>
    <message>
        <source>跟随时显示的时长，1 秒到 10 分钟</source>
        <translation>How much time the view shows while following, 1 s to 10 min</translation>
    </message>
    <message>
        <source>导出图片</source>
        <translation>Export Image</translation>
    </message>
    <message>
        <source>错误</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>无法写入图片: </source>
        <translation>Cannot write the image: </translation>
    </message>
    <message>
        <source>导出数据</source>
        <translation>Export Data</translation>
    </message>
    <message>
        <source>无法写入文件: </source>
        <translation>Cannot write the file: </translation>
    </message>
</context>
<context>
    <name>PlotView</name>
    <message>
        <source>时间 (s)</source>
        <translation>Time (s)</translation>
    </message>
    <message>
        <source>单击以隐藏或显示此通道</source>
        <translation>Click to hide or show this channel</translation>
    </message>
</context>
<context>
    <name>PortComboBox</name>
    <message>
        <source>位置: </source>
        <translation>Location: </translation>
    </message>
    <message>
        <source>指向: </source>
        <translation>Points to: </translation>
    </message>
    <message>
        <source>描述: </source>
        <translation>Description: </translation>
    </message>
    <message>
        <source>制造商: </source>
        <translation>Manufacturer: </translation>
    </message>
    <message>
        <source>序列号: </source>
        <translation>Serial number: </translation>
    </message>
    <message>
        <source>USB 厂商 ID: </source>
        <translation>USB vendor ID: </translation>
    </message>
    <message>
        <source>USB 产品 ID: </source>
        <translation>USB product ID: </translation>
    </message>
    <message>
        <source>网络端口…</source>
        <translation>Network port…</translation>
    </message>
    <message>
        <source>添加经网络（RFC 2217 或原始 TCP）访问的串口</source>
        <translation>Add a serial port reached over the network (RFC 2217 or raw TCP)</translation>
    </message>
</context>
</TS>
