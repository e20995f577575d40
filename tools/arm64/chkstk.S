// __chkstk for 64-bit ARM Windows. A function whose frame is larger than a page calls this before
// moving its stack pointer, with the frame's size in 16-byte units in x15: touch every page of the
// new frame from the top down, so that the guard page grows the stack one page at a time. Leaves
// sp and x15 as they were; x16 and x17 are the scratch registers calls may clobber.
    .text
    .globl __chkstk
    .p2align 2
__chkstk:
    lsl     x16, x15, #4
    mov     x17, sp
1:
    sub     x17, x17, #4096
    subs    x16, x16, #4096
    ldr     xzr, [x17]
    b.gt    1b
    ret
