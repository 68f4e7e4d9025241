; add32.asm - adds two 32-bit numbers that are held in memory.
;
; Shows ADD and ADC: the 8088 adds 16 bits at a time, and ADC carries the low word's
; carry into the high word. Assemble: nasm -f bin -o add32.bin add32.asm
;
; Data, as offsets from the first byte of the program (numbers are stored low byte first):
;   02h  first number   89ABCDEFh
;   06h  second number  87654321h
;   0Ah  the sum        11111110h after the run
;   0Eh  the carry out  01h after the run (the true sum is 111111110h)
;
; The program uses only relative jumps and finds its own address at run time, so it runs
; wherever the board's monitor loads it. It ends in a loop: stop it with the board's
; RESET or break key and look at offset 0Ah with the monitor.

        cpu     8086
        bits    16
        org     0

        jmp     short start
first:  dd      89ABCDEFh
second: dd      87654321h
sum:    dd      0
carry:  db      0

start:  call    here                ; pushes the run-time address of `here`
here:   pop     bx
        sub     bx, here            ; bx = where the program starts
        push    cs                  ; the data lie in the program's own segment
        pop     ds

        mov     ax, [bx+first]      ; low words
        add     ax, [bx+second]
        mov     [bx+sum], ax
        mov     ax, [bx+first+2]    ; high words, plus the carry of the low words
        adc     ax, [bx+second+2]
        mov     [bx+sum+2], ax
        mov     al, 0               ; MOV leaves the flags alone: keep the last carry
        adc     al, 0
        mov     [bx+carry], al

stop:   jmp     stop
