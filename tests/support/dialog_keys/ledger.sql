SELECT mCheckNum, mDate, mPayee, printf('%.2f', mCredit), printf('%.2f', mDebit), mStatus FROM QLedger ORDER BY mTransID;
SELECT mBankName, printf('%.2f', mInitialBalance), printf('%.2f', mAccBalance) FROM QAccounts;
