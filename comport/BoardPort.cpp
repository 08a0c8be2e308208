#include "comport/BoardPort.h"

void ConfigureBoardPort(TComPort& port, TBoardPortUse use) {
    const bool stream = use == TBoardPortUse::RecordStream;
    port.Name = "ComPort1";
    port.SetBaudRate(br1200);
    port.SetPort("COM2");
    port.SetDataBits(dbEight);
    port.SetStopBits(sbOneStopBit);
    port.Parity().SetBits(prNone);
    port.Parity().SetCheck(false);
    port.Parity().SetReplace(false);
    if (stream)
        port.SetEvents({evRxChar, evTxEmpty, evDSR});
    else
        port.SetEvents({evRxChar, evDSR});
    port.Buffer().SetInputSize(2);
    port.Buffer().SetOutputSize(stream ? 2 : 1024);
    TComFlowControl& flow = port.FlowControl();
    flow.SetXonXoffOut(stream);
    flow.SetXonXoffIn(false);
    flow.SetXonChar(0x11);
    flow.SetXoffChar(0x13);
    flow.SetOutCTSFlow(false);
    flow.SetOutDSRFlow(false);
    flow.SetControlDTR(dtrDisable);
    flow.SetControlRTS(rtsDisable);
    flow.SetDSRSensitivity(false);
    flow.SetTxContinueOnXoff(false);
    TComTimeouts& timeouts = port.Timeouts();
    timeouts.SetReadInterval(-1);
    timeouts.SetReadTotalMultiplier(0);
    timeouts.SetReadTotalConstant(0);
    timeouts.SetWriteTotalMultiplier(100);
    timeouts.SetWriteTotalConstant(1000);
    port.SetDiscardNull(false);
    port.SetEventChar(0);
}
